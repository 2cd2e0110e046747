#include "engines/recap/LlamaRunnerLocator.h"

#include "common/ProcessRunner.h"
#include "engines/BundledTools.h"

namespace LlamaRunnerLocator {

const QStringList& names()
{
    static const QStringList list{QStringLiteral("llama-completion"), QStringLiteral("llama-cli")};
    return list;
}

QString locate()
{
    const QStringList folders = BundledTools::folders(QStringLiteral("llama"));
    for (const QString& name : names()) {
        const QString found = ProcessRunner::findExecutable(name, folders);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

} // namespace LlamaRunnerLocator
