#include "support/TemporaryModule.h"

#include "support/PulseTestTools.h"
#include "support/TestEnvironment.h"

namespace PulseTestTools {

TemporaryModule::TemporaryModule(const QString& module, const QStringList& arguments, QStringList restore)
    : m_module(loadModule(module, arguments))
    , m_restore(std::move(restore))
{
}

TemporaryModule::TemporaryModule(const ModuleLoad& load, QStringList restore)
    : TemporaryModule(load.module, load.arguments, std::move(restore))
{
}

TemporaryModule::~TemporaryModule()
{
    remove();
    if (m_restore.isEmpty())
        return;
    pactl(m_restore);
    // PipeWire's session manager applies a new default a moment after pactl
    // returns: the next test must not meet the old one.
    const QString command = m_restore.first();
    if (command.startsWith(QStringLiteral("set-default-")) && m_restore.size() > 1) {
        const QStringList query{QStringLiteral("get-default-") + command.mid(QStringLiteral("set-default-").size())};
        TestEnvironment::waitUntil([&] { return pactl(query) == m_restore.at(1); }, 2000);
    }
}

void TemporaryModule::remove()
{
    if (m_module > 0) // a load that failed left nothing to unload
        unloadModule(m_module);
    m_module = -1;
}

} // namespace PulseTestTools
