#include "services/updates/UpdateServer.h"

#include <QHostAddress>
#include <QRegularExpression>

namespace UpdateServer {

namespace {

bool isLoopbackHost(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

bool isSecureOrLoopback(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty())
        return false;
    if (url.scheme() == QLatin1String("https"))
        return true;
    return url.scheme() == QLatin1String("http") && isLoopbackHost(url.host());
}

QString configuredHost()
{
    const QString fromEnvironment = qEnvironmentVariable("NIMBREL_UPDATE_HOST").trimmed();
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStringLiteral(NIMBREL_BUILD_UPDATE_HOST).trimmed();
}

QUrl withPath(const QString& path)
{
    QUrl url = baseUrl();
    if (url.isEmpty())
        return {};
    QString base = url.path();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    url.setPath(base + path);
    return url;
}

} // namespace

QUrl baseUrl()
{
    const QString host = configuredHost();
    if (host.isEmpty())
        return {};
    const QUrl url = host.contains(QLatin1String("://")) ? QUrl(host) : QUrl(QStringLiteral("https://") + host);
    if (!isSecureOrLoopback(url) || url.hasQuery() || url.hasFragment())
        return {};
    return url;
}

bool isConfigured()
{
    return !baseUrl().isEmpty();
}

QString whyNotConfigured()
{
    const QString host = configuredHost();
    if (host.isEmpty())
        return QStringLiteral("This build has no update server configured.");
    return QStringLiteral("The update server address is not allowed: %1 (only https, or http on this computer).")
        .arg(host);
}

QUrl feedUrl()
{
    return withPath(QStringLiteral("/nimbrel/app/version.json"));
}

QUrl pingUrl()
{
    return withPath(QStringLiteral("/nimbrel/app/ping.php"));
}

bool isAcceptableDownloadUrl(const QUrl& url)
{
    return isSecureOrLoopback(url);
}

bool isSafeVersionString(const QString& version)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9A-Za-z.+-]{1,32}$"));
    return pattern.match(version).hasMatch();
}

} // namespace UpdateServer
