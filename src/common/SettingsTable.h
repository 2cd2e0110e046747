#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QVariantMap>

// Every stored preference, once: its key, the type it is stored as and what it
// reads as while nothing is stored. Launch registers the defaults of the
// entries marked so; the others are read with their default by the settings
// window alone.
namespace SettingsTable {

struct Entry {
    QString key;
    QMetaType::Type type;
    QVariant defaultValue;
    bool registeredAtLaunch;
};

const QList<Entry>& entries();
// The default of a key in the table; invalid for any other key.
QVariant defaultValue(const QString& key);
// The defaults registered at every launch; a value the user stored wins.
QVariantMap launchDefaults();

} // namespace SettingsTable
