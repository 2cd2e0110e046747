#include "engines/recap/LlamaRunnerLocator.h"

#include "common/ProcessRunner.h"

#include <QCoreApplication>
#include <QDir>

namespace LlamaRunnerLocator {

const QStringList& names()
{
    static const QStringList list{QStringLiteral("llama-completion"), QStringLiteral("llama-cli")};
    return list;
}

QStringList ownFolders()
{
    QString deps = qEnvironmentVariable("NIMBREL_DEPS_DIR");
    if (deps.isEmpty())
        deps = QStringLiteral(NIMBREL_BUILD_DEPS_DIR);
    QStringList folders{QDir(deps).filePath(QStringLiteral("llama/bin"))};
    if (QCoreApplication::instance())
        folders.append(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("bin")));
    return folders;
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
