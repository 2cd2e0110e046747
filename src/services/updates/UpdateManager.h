#pragma once

#include "services/updates/UpdateInfo.h"
#include "services/updates/UpdateLimits.h"
#include "services/updates/UpdateState.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <optional>

class QNetworkAccessManager;
class Settings;

// Keeps the application current: asks the update server for the newest
// build, compares it with the running one, downloads and stages a newer one
// and, on request, installs it and relaunches. Lives on the main thread;
// `state` changes only there. One guard covers checks, downloads and the
// staged build: a download never runs twice, and a check never throws away a
// staged build unless the feed offers a newer one.
class UpdateManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(UpdateState state READ state NOTIFY stateChanged)
public:
    static UpdateManager& shared();
    explicit UpdateManager(Settings& settings, QObject* parent = nullptr);
    ~UpdateManager() override;

    UpdateState state() const { return m_state; }
    std::optional<QDateTime> lastChecked() const { return m_lastChecked; }

    void checkForUpdates(bool autoDownload, bool silent);
    void startPeriodicChecks(double intervalSeconds);
    void stopPeriodicChecks();
    void sendLaunchPing();

    QString anonymousInstallID();
    bool isAutoCheckEnabled() const;

    static bool isRemoteVersionNewer(const QString& remoteVersion, qint64 remoteBuild,
                                     const QString& currentVersion, qint64 currentBuild);

    // May be called on any thread.
    void downloadAndPrepareUpdate(const UpdateInfo& info);
    void applyUpdateAndRelaunch();

    // At each start, once the app is up: tells a waiting installer that this
    // bundle runs, and reports an install that failed; its version is not
    // offered again until a newer one appears.
    void finishLastInstall();

    // Where archives and the staging folder go (tests use their own).
    void setUpdatesFolder(const QString& folder) { m_updatesFolder = folder; }
    QString updatesFolder() const;
    // The executable whose bundle is replaced, and how the app quits (tests).
    void setExecutablePath(const QString& path) { m_executablePath = path; }
    void setQuitHandler(std::function<void()> quit) { m_quit = std::move(quit); }
    void setLimits(const UpdateLimits& limits) { m_limits = limits; }

Q_SIGNALS:
    void stateChanged();
    void lastCheckedChanged();

private:
    void setState(const UpdateState& state);
    void onFeed(const QByteArray& body, bool autoDownload, bool silent, bool keepState);
    void failCheck(const QString& message, bool silent, bool keepState);
    bool failedToInstallBefore(const UpdateInfo& info) const;
    void startDownload(const UpdateInfo& info);
    void stageDownloaded(const UpdateInfo& info, const QString& archive);
    void failDownload(const QString& description);
    bool offersMoreThanStaged(const UpdateInfo& info) const;

    Settings& m_settings;
    UpdateState m_state;
    std::optional<QDateTime> m_lastChecked;
    QTimer* m_periodicTimer = nullptr;
    bool m_isBusy = false;
    bool m_downloadRunning = false;
    QNetworkAccessManager* m_network = nullptr;
    QString m_updatesFolder;
    QString m_executablePath;
    std::function<void()> m_quit;
    UpdateLimits m_limits;
    // The report of a failed install, kept on show through silent checks.
    std::optional<UpdateState> m_installFailure;
};
