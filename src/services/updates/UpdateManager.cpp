#include "services/updates/UpdateManager.h"

#include "common/AppPaths.h"
#include "common/ConsoleLine.h"
#include "common/Error.h"
#include "common/HttpFileDownloader.h"
#include "common/Settings.h"
#include "common/SettingsKeys.h"
#include "models/AppVersion.h"
#include "services/updates/UpdateArchive.h"
#include "services/updates/UpdateInstaller.h"
#include "services/updates/UpdateServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFutureWatcher>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrlQuery>
#include <QUuid>
#include <QtConcurrent>

#include <unistd.h>

namespace {

const QString kInstallIdKey = QStringLiteral("nimbrel_anonymous_install_id");
const QString kFailedVersionKey = QStringLiteral("nimbrel_failedUpdateVersion");
const QString kFailedBuildKey = QStringLiteral("nimbrel_failedUpdateBuild");

std::optional<qint64> versionPiece(const QString& piece)
{
    // An optional sign, then decimal digits only, within 64 bits.
    qsizetype start = (piece.startsWith(QLatin1Char('+')) || piece.startsWith(QLatin1Char('-'))) ? 1 : 0;
    if (piece.size() == start)
        return std::nullopt;
    for (qsizetype i = start; i < piece.size(); ++i) {
        if (piece[i] < QLatin1Char('0') || piece[i] > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = piece.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

QList<qint64> versionPieces(const QString& version)
{
    QList<qint64> pieces;
    for (const QString& text : version.split(QLatin1Char('.'), Qt::SkipEmptyParts)) {
        if (auto value = versionPiece(text))
            pieces << *value;
    }
    return pieces;
}

// Cuts text at `chars` characters, never inside a surrogate pair.
QString cappedText(const QString& text, qsizetype chars)
{
    if (text.size() <= chars)
        return text;
    qsizetype end = chars;
    if (end > 0 && text[end - 1].isHighSurrogate())
        --end;
    return text.left(end) + QChar(0x2026);
}

// The feed and archive transfers: bounded in size and time, every redirect
// held to the same address rules as the first URL.
HttpFileDownloader::Options guardedOptions(qint64 maxBytes, int deadlineMs)
{
    HttpFileDownloader::Options options;
    options.maxBytes = maxBytes;
    options.deadlineMs = deadlineMs;
    options.acceptsRedirect = &UpdateServer::isAcceptableDownloadUrl;
    options.maxRedirects = 5;
    return options;
}

QNetworkRequest uncachedRequest(const QUrl& url, int timeoutMs)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(timeoutMs);
    // The ping's answer is ignored: no redirect is worth following anywhere.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    return request;
}

} // namespace

UpdateManager& UpdateManager::shared()
{
    static UpdateManager* instance = new UpdateManager(Settings::shared());
    return *instance;
}

UpdateManager::UpdateManager(Settings& settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_network(new QNetworkAccessManager(this))
{
    qRegisterMetaType<UpdateState>();
}

UpdateManager::~UpdateManager() = default;

void UpdateManager::setState(const UpdateState& state)
{
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT stateChanged();
}

bool UpdateManager::isAutoCheckEnabled() const
{
    const QVariant value = m_settings.value(SettingsKeys::autoCheckUpdates);
    return !value.isValid() || value.toBool();
}

QString UpdateManager::anonymousInstallID()
{
    const QString stored = m_settings.stringValue(kInstallIdKey);
    if (!stored.isEmpty())
        return stored;
    const QString made = QUuid::createUuid().toString(QUuid::WithoutBraces).toLower();
    m_settings.setValue(kInstallIdKey, made);
    return made;
}

bool UpdateManager::isRemoteVersionNewer(const QString& remoteVersion, qint64 remoteBuild,
                                         const QString& currentVersion, qint64 currentBuild)
{
    const QList<qint64> remote = versionPieces(remoteVersion);
    const QList<qint64> current = versionPieces(currentVersion);
    const qsizetype count = std::max(remote.size(), current.size());
    for (qsizetype i = 0; i < count; ++i) {
        const qint64 r = i < remote.size() ? remote[i] : 0;
        const qint64 c = i < current.size() ? current[i] : 0;
        if (r != c)
            return r > c;
    }
    return remoteBuild > currentBuild;
}

QString UpdateManager::updatesFolder() const
{
    const QString folder = m_updatesFolder.isEmpty()
        ? QDir(AppPaths::cachesFolder()).filePath(QStringLiteral("com.tarvell.nimbrel/Updates"))
        : m_updatesFolder;
    QDir().mkpath(folder);
    return folder;
}

bool UpdateManager::offersMoreThanStaged(const UpdateInfo& info) const
{
    if (m_state.kind != UpdateState::Kind::ReadyToInstall)
        return true;
    return isRemoteVersionNewer(info.version, info.build, m_state.info.version, m_state.info.build);
}

void UpdateManager::checkForUpdates(bool autoDownload, bool silent)
{
    if (silent && !isAutoCheckEnabled())
        return;
    if (m_isBusy || m_downloadRunning)
        return;
    if (!UpdateServer::isConfigured()) {
        // Never a guessed host: a build without one sends nothing at all.
        if (!silent)
            setState(UpdateState::error(UpdateServer::whyNotConfigured()));
        return;
    }
    m_isBusy = true;
    // A staged build stays on show while the feed is asked again, and so does
    // the report of a failed install through the app's own checks; only a
    // newer offer replaces them.
    const bool keepState = m_state.kind == UpdateState::Kind::ReadyToInstall
                           || (silent && m_installFailure && m_state == *m_installFailure);
    if (!keepState) {
        QMetaObject::invokeMethod(this, [this] { setState(UpdateState::checking()); }, Qt::QueuedConnection);
    }
    HttpFileDownloader::Options options = guardedOptions(m_limits.feedBytes, m_limits.feedDeadlineMs);
    options.transferTimeoutMs = 15000;
    HttpFileDownloader::fetch(UpdateServer::feedUrl(), std::move(options))
        .then(this, [=, this](const QByteArray& body) { onFeed(body, autoDownload, silent, keepState); })
        .onFailed(this, [=, this](const Error& error) {
            // A status other than 200 comes as its code.
            failCheck(error.code() > 0 ? QStringLiteral("Server returned HTTP %1").arg(error.code()) : error.message(),
                      silent, keepState);
        })
        .onFailed(this, [=, this] { failCheck(QStringLiteral("The update check was interrupted."), silent, keepState); });
}

void UpdateManager::onFeed(const QByteArray& body, bool autoDownload, bool silent, bool keepState)
{
    QString problem;
    std::optional<UpdateInfo> info = UpdateInfo::decode(body, &problem);
    if (!info)
        return failCheck(problem, silent, keepState);
    if (info->releaseNotes)
        info->releaseNotes = cappedText(*info->releaseNotes, m_limits.releaseNotesChars);

    m_lastChecked = QDateTime::currentDateTime();
    Q_EMIT lastCheckedChanged();
    const QString currentVersion = AppVersion::currentVersion();
    const qint64 currentBuild = AppVersion::currentBuildNumber();
    if (isRemoteVersionNewer(info->version, info->build, currentVersion, currentBuild)
        && offersMoreThanStaged(*info) && !failedToInstallBefore(*info)) {
        ConsoleLine::print(ConsoleLine::escaped(QStringLiteral("Update available: v%1 (build %2) > current v%3 (build %4)")
            .arg(info->version)
            .arg(info->build)
            .arg(currentVersion)
            .arg(currentBuild)));
        setState(UpdateState::available(*info));
        if (autoDownload)
            downloadAndPrepareUpdate(*info);
        m_isBusy = false;
        return;
    }
    if (keepState) {
        m_isBusy = false;
        return;
    }
    setState(UpdateState::upToDate());
    // A precise timer: a coarse one may fire up to 5 % early.
    QTimer::singleShot(silent ? 2000 : 3000, Qt::PreciseTimer, this, [this] {
        if (m_state.kind == UpdateState::Kind::UpToDate)
            setState(UpdateState::idle());
    });
    m_isBusy = false;
}

bool UpdateManager::failedToInstallBefore(const UpdateInfo& info) const
{
    const QString failedVersion = m_settings.stringValue(kFailedVersionKey);
    if (failedVersion.isEmpty())
        return false;
    const qint64 failedBuild = m_settings.value(kFailedBuildKey).toLongLong();
    return !isRemoteVersionNewer(info.version, info.build, failedVersion, failedBuild);
}

void UpdateManager::failCheck(const QString& message, bool silent, bool keepState)
{
    ConsoleLine::print(ConsoleLine::escaped(QStringLiteral("Update check error: ") + message));
    if (!keepState)
        setState(silent ? UpdateState::idle() : UpdateState::error(message));
    m_isBusy = false;
}

void UpdateManager::startPeriodicChecks(double intervalSeconds)
{
    stopPeriodicChecks();
    if (!isAutoCheckEnabled() || !UpdateServer::isConfigured())
        return;
    sendLaunchPing();
    QTimer::singleShot(3000, this, [this] { checkForUpdates(true, true); });
    m_periodicTimer = new QTimer(this);
    m_periodicTimer->setInterval(static_cast<int>(std::clamp(intervalSeconds * 1000.0, 1.0, 2147483647.0)));
    connect(m_periodicTimer, &QTimer::timeout, this, [this] { checkForUpdates(true, true); });
    m_periodicTimer->start();
}

void UpdateManager::stopPeriodicChecks()
{
    delete m_periodicTimer;
    m_periodicTimer = nullptr;
}

void UpdateManager::sendLaunchPing()
{
    if (!isAutoCheckEnabled() || !UpdateServer::isConfigured())
        return;
    QUrl url = UpdateServer::pingUrl();
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("id"), anonymousInstallID());
    query.addQueryItem(QStringLiteral("v"), AppVersion::currentVersion());
    query.addQueryItem(QStringLiteral("event"), QStringLiteral("launch"));
    url.setQuery(query);
    QNetworkReply* reply = m_network->get(uncachedRequest(url, 6000));
    // The answer is of no interest; failures stay silent.
    connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

void UpdateManager::downloadAndPrepareUpdate(const UpdateInfo& info)
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this, info] { downloadAndPrepareUpdate(info); }, Qt::QueuedConnection);
        return;
    }
    if (m_downloadRunning || !offersMoreThanStaged(info))
        return;
    const QUrl url(info.downloadURL, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative() || !UpdateServer::isAcceptableDownloadUrl(url)) {
        setState(UpdateState::error(QStringLiteral("Invalid download URL in update metadata.")));
        return;
    }
    if (!UpdateServer::isSafeVersionString(info.version)) {
        failDownload(QStringLiteral("The update's version \"%1\" is not a valid version.").arg(info.version));
        return;
    }
    startDownload(info);
}

void UpdateManager::startDownload(const UpdateInfo& info)
{
    m_downloadRunning = true;
    setState(UpdateState::downloading(0.0, QStringLiteral("Connecting to server...")));
    const QString archive = QDir(updatesFolder()).filePath(QStringLiteral("Nimbrel_Update_%1.zip").arg(info.version));
    QFile::remove(archive);
    HttpFileDownloader::Options options = guardedOptions(m_limits.archiveBytes, m_limits.archiveDeadlineMs);
    options.acceptedSignatures = {QByteArray("PK\x03\x04", 4)};
    HttpFileDownloader::download(QUrl(info.downloadURL), archive, options)
        .then(this, [this, info, archive] { stageDownloaded(info, archive); })
        .onFailed(this, [this](const Error& error) { failDownload(error.message()); })
        .onFailed(this, [this] { failDownload(QStringLiteral("The download was interrupted.")); });
}

void UpdateManager::stageDownloaded(const UpdateInfo& info, const QString& archive)
{
    setState(UpdateState::downloading(1.0, QStringLiteral("Extracting package...")));
    const QString staging = QDir(updatesFolder()).filePath(QStringLiteral("Staging"));
    // Exceptions do not cross QtConcurrent as themselves: the worker answers
    // with the bundle's path or the reason it failed.
    QtConcurrent::run([info, archive, staging, limit = m_limits.unpackedBytes]() -> std::pair<QString, QString> {
        try {
            if (info.sha256
                && UpdateArchive::sha256Of(archive).compare(info.sha256->trimmed(), Qt::CaseInsensitive) != 0) {
                QFile::remove(archive);
                return {{}, QStringLiteral("The downloaded archive does not match its checksum.")};
            }
            const QString bundle = UpdateArchive::stage(archive, staging, limit);
            QFile::remove(archive);
            return {bundle, {}};
        } catch (const Error& error) {
            return {{}, error.message()};
        }
    }).then(this, [this, info](const std::pair<QString, QString>& outcome) {
        if (!outcome.second.isEmpty())
            return failDownload(outcome.second);
        m_downloadRunning = false;
        setState(UpdateState::readyToInstall(info, outcome.first));
    });
}

void UpdateManager::failDownload(const QString& description)
{
    m_downloadRunning = false;
    ConsoleLine::print(ConsoleLine::escaped(QStringLiteral("Download/extract error: ") + description));
    setState(UpdateState::error(QStringLiteral("Update download failed: ") + description));
}

void UpdateManager::applyUpdateAndRelaunch()
{
    if (m_state.kind != UpdateState::Kind::ReadyToInstall)
        return;
    const QString executable =
        m_executablePath.isEmpty() ? QCoreApplication::applicationFilePath() : m_executablePath;
    const QString target = UpdateInstaller::bundleOf(executable);
    const QFileInfo bundle(target);
    if (target.isEmpty() || !bundle.isDir() || bundle.isSymLink()) {
        ConsoleLine::print(ConsoleLine::escaped(
            QStringLiteral("Safety check failed: the app does not run as Nimbrel.app/bin/nimbrel: ") + executable));
        return;
    }
    // The next start learns from this which version was being installed.
    const QString state = updatesFolder();
    const QString pending = QDir(state).filePath(UpdateInstaller::kPendingInstall);
    QFile record(pending);
    const QByteArray text = QJsonDocument(QJsonObject{{QStringLiteral("version"), m_state.info.version},
                                                      {QStringLiteral("build"), m_state.info.build}})
                                .toJson(QJsonDocument::Compact);
    if (!record.open(QIODevice::WriteOnly | QIODevice::Truncate) || record.write(text) != text.size()) {
        ConsoleLine::print(QStringLiteral("Failed to spawn relaunch process: cannot write ") + pending);
        return;
    }
    record.close();
    const QString problem = UpdateInstaller::spawnRelaunch(target, m_state.stagedAppPath, ::getpid(), state);
    if (!problem.isEmpty()) {
        QFile::remove(pending);
        ConsoleLine::print(QStringLiteral("Failed to spawn relaunch process: ") + problem);
        return;
    }
    if (m_quit)
        m_quit();
    else
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

void UpdateManager::finishLastInstall()
{
    const QDir state(updatesFolder());
    // A waiting installer keeps the old bundle until this marker is gone; an
    // app that finds it is the new bundle, whatever version it calls itself.
    const bool startedByInstaller = QFile::remove(state.filePath(UpdateInstaller::kLaunchingMarker));
    QFile pendingFile(state.filePath(UpdateInstaller::kPendingInstall));
    if (!pendingFile.open(QIODevice::ReadOnly))
        return;
    const QJsonObject pending = QJsonDocument::fromJson(pendingFile.read(4096)).object();
    pendingFile.close();
    const QString version = pending.value(QStringLiteral("version")).toString();
    const qint64 build = pending.value(QStringLiteral("build")).toInteger();
    QFile reportFile(state.filePath(UpdateInstaller::kFailureReport));
    QString reason;
    if (reportFile.open(QIODevice::ReadOnly))
        reason = QString::fromUtf8(reportFile.read(4096)).trimmed();
    reportFile.close();
    const bool runningIt = startedByInstaller
        || !isRemoteVersionNewer(version, build, AppVersion::currentVersion(), AppVersion::currentBuildNumber());
    if (startedByInstaller)
        reason.clear();
    else if (reason.isEmpty() && !runningIt)
        reason = QStringLiteral("the installer did not finish");
    QFile::remove(pendingFile.fileName());
    QFile::remove(reportFile.fileName());
    if (reason.isEmpty() || version.isEmpty())
        return;
    m_settings.setValue(kFailedVersionKey, version);
    m_settings.setValue(kFailedBuildKey, build);
    const QString message = QStringLiteral("The update to %1 could not be installed: %2").arg(version, reason);
    ConsoleLine::print(ConsoleLine::escaped(message));
    m_installFailure = UpdateState::error(message);
    setState(*m_installFailure);
}
