#include "ParecRecorder.h"

#include <gtest/gtest.h>

ParecRecorder::ParecRecorder(const QString& applicationName, const QString& source)
{
    QStringList arguments{QStringLiteral("--client-name=") + applicationName, QStringLiteral("--raw"),
                          QStringLiteral("--latency-msec=50")};
    if (!source.isEmpty())
        arguments << QStringLiteral("--device=") + source;
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.start(QStringLiteral("parec"), arguments);
    EXPECT_TRUE(m_process.waitForStarted(5000));
}

ParecRecorder::~ParecRecorder()
{
    stop();
}

void ParecRecorder::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}
