#include "common/Settings.h"

#include <QMetaObject>

Settings& Settings::shared()
{
    static Settings* instance = new Settings();
    return *instance;
}

Settings::Settings()
    : m_store(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                          QStringLiteral("Nimbrel"), QStringLiteral("Nimbrel")))
{
}

Settings::Settings(const QString& fileName, QObject* parent)
    : QObject(parent)
    , m_store(std::make_unique<QSettings>(fileName, QSettings::IniFormat))
{
}

void Settings::registerDefaults(const QVariantMap& defaults)
{
    std::lock_guard lock(m_mutex);
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        m_defaults.insert(it.key(), it.value());
}

QVariant Settings::value(const QString& key) const
{
    std::lock_guard lock(m_mutex);
    if (m_store->contains(key))
        return m_store->value(key);
    return m_defaults.value(key);
}

bool Settings::boolValue(const QString& key) const
{
    return value(key).toBool();
}

double Settings::doubleValue(const QString& key) const
{
    return value(key).toDouble();
}

QString Settings::stringValue(const QString& key) const
{
    return value(key).toString();
}

bool Settings::isStored(const QString& key) const
{
    std::lock_guard lock(m_mutex);
    return m_store->contains(key);
}

void Settings::setValue(const QString& key, const QVariant& value)
{
    {
        std::lock_guard lock(m_mutex);
        m_store->setValue(key, value);
        m_store->sync();
    }
    QMetaObject::invokeMethod(this, [this, key] { Q_EMIT valueChanged(key); }, Qt::AutoConnection);
}

void Settings::remove(const QString& key)
{
    {
        std::lock_guard lock(m_mutex);
        m_store->remove(key);
        m_store->sync();
    }
    QMetaObject::invokeMethod(this, [this, key] { Q_EMIT valueChanged(key); }, Qt::AutoConnection);
}
