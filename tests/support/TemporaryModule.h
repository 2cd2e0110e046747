#pragma once

#include "support/PulseTestTools.h"

#include <QString>
#include <QStringList>

namespace PulseTestTools {

// A module of the test sound server loaded for one test, unloaded when it
// goes or at `remove`. `restore`, when given, is a pactl command run after
// unloading, to set the server's default back for the tests that follow.
class TemporaryModule {
public:
    TemporaryModule(const QString& module, const QStringList& arguments, QStringList restore = {});
    explicit TemporaryModule(const ModuleLoad& load, QStringList restore = {});
    ~TemporaryModule();
    TemporaryModule(const TemporaryModule&) = delete;
    TemporaryModule& operator=(const TemporaryModule&) = delete;

    void remove();

private:
    int m_module = -1;
    QStringList m_restore;
};

} // namespace PulseTestTools
