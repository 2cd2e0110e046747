#include "support/StandInOpener.h"

#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>

StandInOpener::StandInOpener()
    : m_log(QDir(m_tools.path()).filePath(QStringLiteral("opened.txt")))
    , m_path(qgetenv("PATH"))
{
    const QString script = QDir(m_tools.path()).filePath(QStringLiteral("xdg-open"));
    TestFiles::writeFile(script, QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$1\" > '%1'\n").arg(m_log).toUtf8());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", m_tools.path().toLocal8Bit() + ':' + m_path);
}

StandInOpener::~StandInOpener()
{
    qputenv("PATH", m_path);
}

std::optional<QString> StandInOpener::waitForOpened(int timeoutMs) const
{
    if (!TestEnvironment::waitUntil([&] { return QFile::exists(m_log); }, timeoutMs))
        return std::nullopt;
    QFile file(m_log);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromUtf8(file.readAll()).trimmed();
}
