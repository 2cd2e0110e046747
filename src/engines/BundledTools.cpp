#include "engines/BundledTools.h"

#include "common/ProcessRunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace BundledTools {

QStringList folders(const QString& tool)
{
    QStringList result;
    if (QCoreApplication::instance()) {
        // An installed bundle keeps the tools beside the app in its bin/.
        const QDir appFolder(QCoreApplication::applicationDirPath());
        result << appFolder.path() << appFolder.filePath(QStringLiteral("bin"));
    }
    QString deps = qEnvironmentVariable("NIMBREL_DEPS_DIR");
    if (deps.isEmpty())
        deps = QStringLiteral(NIMBREL_BUILD_DEPS_DIR);
    if (!deps.isEmpty())
        result << QDir(deps).filePath(tool + QStringLiteral("/bin"));
    return result;
}

void prepareEnvironment(QProcessEnvironment& environment, const QString& executable)
{
    ProcessRunner::prependPath(environment, QStringLiteral("LD_LIBRARY_PATH"),
                               QFileInfo(executable).absolutePath());
    if (!environment.contains(QStringLiteral("OMP_WAIT_POLICY")))
        environment.insert(QStringLiteral("OMP_WAIT_POLICY"), QStringLiteral("passive"));
}

} // namespace BundledTools
