#pragma once

#include <QString>

// How the meeting rules know an application: a display name and an
// identifier in the reverse-domain form the rules' tables use.
struct AppIdentity {
    QString name;
    QString bundleID;

    friend bool operator==(const AppIdentity&, const AppIdentity&) = default;
};
