#pragma once

#include <QString>

// One user-space process as /proc shows it.
struct ProcProcess {
    qint64 pid = 0;
    QString executable; // file name of the program, e.g. "firefox-esr"
    QString flatpakId; // the Flatpak application id, when it runs in one
};
