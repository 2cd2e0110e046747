#include "views/settings/BoundSettings.h"

#include "common/Settings.h"
#include "common/SettingsTable.h"

BoundSettings::BoundSettings(Settings& settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
{
    connect(&m_settings, &Settings::valueChanged, this, &BoundSettings::changed);
}

QVariant BoundSettings::value(const QString& key) const
{
    const QVariant stored = m_settings.value(key);
    return stored.isValid() ? stored : SettingsTable::defaultValue(key);
}

bool BoundSettings::boolValue(const QString& key) const
{
    return value(key).toBool();
}

double BoundSettings::doubleValue(const QString& key) const
{
    return value(key).toDouble();
}

QString BoundSettings::stringValue(const QString& key) const
{
    return value(key).toString();
}

void BoundSettings::setValue(const QString& key, const QVariant& value)
{
    m_settings.setValue(key, value);
}
