#include "engines/recap/LlamaRunnerLocator.h"

#include "common/ProcessRunner.h"
#include "engines/BundledTools.h"


namespace LlamaRunnerLocator {

const QStringList& names()
{
    static const QStringList list{QStringLiteral("llama-completion"), QStringLiteral("llama-cli")};
    return list;
}

QStringList ownFolders()
{
    return BundledTools::folders(QStringLiteral("llama"));
}

QString locate()
{
    const QStringList folders = ownFolders();
    for (const QString& name : names()) {
        const QString found = ProcessRunner::findExecutable(name, folders);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

} // namespace LlamaRunnerLocator
