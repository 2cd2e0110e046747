#pragma once

#include <QObject>

// Stores `value` in a published property's field and emits its change signal
// when it differs; true when it did.
template <typename Owner, typename T>
bool publish(Owner* owner, T& field, const T& value, void (Owner::*changed)())
{
    if (field == value)
        return false;
    field = value;
    Q_EMIT(owner->*changed)();
    return true;
}
