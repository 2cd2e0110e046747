#include "support/StdoutCapture.h"

#include "support/TestEnvironment.h"

#include <cstdio>
#include <unistd.h>

StdoutCapture::StdoutCapture()
{
    if (!m_file.open())
        return;
    std::fflush(stdout);
    m_saved = ::dup(STDOUT_FILENO);
    ::dup2(m_file.handle(), STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture()
{
    if (m_saved < 0)
        return;
    std::fflush(stdout);
    ::dup2(m_saved, STDOUT_FILENO);
    ::close(m_saved);
}

QString StdoutCapture::text()
{
    std::fflush(stdout);
    QFile file(m_file.fileName());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

bool StdoutCapture::waitFor(const QString& part, int timeoutMs)
{
    return TestEnvironment::waitUntil([&] { return text().contains(part); }, timeoutMs);
}
