#pragma once

#include "platform/proc/AppIdentity.h"

#include <QString>

#include <optional>

// The one table that maps what Linux tells about an application (Flatpak or
// desktop-file id, window class, executable, the name a sound stream gives)
// onto the identifiers of the meeting rules, e.g. "firefox-esr" onto
// "org.mozilla.firefox".
namespace AppIdentityTable {

// What is known of one application; any field may be empty.
struct Hints {
    QString appId; // Flatpak or desktop-file id, "org.mozilla.firefox"
    QString windowClass; // WM_CLASS class, "Google-chrome"
    QString windowInstance; // WM_CLASS instance, "google-chrome"
    QString executable; // "chrome"
    QString audioApplicationName; // a sound stream's application.name, "ZOOM VoiceEngine"
};

// The table's entry for the first hint it knows, in the order of Hints.
std::optional<AppIdentity> find(const Hints& hints);

// find(), or else the application's own names: its window class (or
// executable) as the name, its executable (or window class) as the identifier.
AppIdentity resolve(const Hints& hints);

} // namespace AppIdentityTable
