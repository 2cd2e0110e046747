#include "support/TemporaryModule.h"

#include "support/PulseTestTools.h"

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
    if (!m_restore.isEmpty())
        pactl(m_restore);
}

void TemporaryModule::remove()
{
    if (m_module > 0) // a load that failed left nothing to unload
        unloadModule(m_module);
    m_module = -1;
}

} // namespace PulseTestTools
