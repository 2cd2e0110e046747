#include "TrayHost.h"

#include "support/TestEnvironment.h"

#include <QSystemTrayIcon>

TrayHost::TrayHost()
{
    // Its output goes nowhere: a pipe it kept open would outlive a crashed test.
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(QStringLiteral("trayer"), {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                                               QStringLiteral("right"), QStringLiteral("--widthtype"),
                                               QStringLiteral("request"), QStringLiteral("--height"), QStringLiteral("24"),
                                               QStringLiteral("--transparent"), QStringLiteral("false"),
                                               QStringLiteral("--tint"), QStringLiteral("0x303030")});
    m_ready = m_process.waitForStarted(5000)
        && TestEnvironment::waitUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000);
}

TrayHost::~TrayHost()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    waitUntilNoTray();
}

bool TrayHost::waitUntilNoTray()
{
    return TestEnvironment::waitUntil([] { return !QSystemTrayIcon::isSystemTrayAvailable(); }, 5000);
}
