#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

#include <cstdlib>

namespace {

QString homePath;

QString envOr(const char* name, const QString& fallback)
{
    const QByteArray value = qgetenv(name);
    return value.isEmpty() ? fallback : QString::fromLocal8Bit(value);
}

} // namespace

namespace TestEnvironment {

void isolate()
{
    QByteArray pattern = QDir::temp().filePath(QStringLiteral("nimbrel-test-XXXXXX")).toLocal8Bit();
    const char* made = ::mkdtemp(pattern.data());
    if (!made)
        std::abort();
    homePath = QString::fromLocal8Bit(made);
    const QDir home(homePath);
    for (const char* folder : {".local/share", ".config", ".cache", "Downloads"})
        home.mkpath(QString::fromLatin1(folder));
    qputenv("HOME", homePath.toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral(".local/share")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral(".config")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral(".cache")).toLocal8Bit());
    // Make the times in tests independent of the machine's own zone.
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", "UTC");
    std::atexit([] { QDir(homePath).removeRecursively(); });
}

QString home()
{
    return homePath;
}

QString sourceDir()
{
    return envOr("NIMBREL_SOURCE_DIR", QStringLiteral(NIMBREL_TEST_SOURCE_DIR));
}

QString binaryDir()
{
    return envOr("NIMBREL_BINARY_DIR", QStringLiteral(NIMBREL_TEST_BINARY_DIR));
}

QString depsDir()
{
    return envOr("NIMBREL_DEPS_DIR", QDir(sourceDir()).filePath(QStringLiteral(".deps")));
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

} // namespace TestEnvironment
