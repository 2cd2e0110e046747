#pragma once

#include <QVariantMap>

// The eleven defaults registered at every launch; a value the user stored
// always wins over them.
class DefaultSettings {
public:
    DefaultSettings() = delete;

    static QVariantMap values();
};
