#pragma once

#include "platform/xdg/AutostartEntry.h"

#include <QObject>
#include <QString>
#include <QStringList>

class Settings;

// Keeps an XDG autostart entry that starts the app at login in line with the
// "launch at login" preference, and tells whether this start was made by it.
// The entry starts the executable's absolute path with `loginArgument`.
// Failures are only printed, with the prefix "[LaunchAtLogin] ". Main thread.
class LaunchAtLoginManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isEnabled READ isEnabled WRITE setIsEnabled NOTIFY isEnabledChanged)
    Q_PROPERTY(bool requiresApproval READ requiresApproval NOTIFY requiresApprovalChanged)
public:
    static inline const QString loginArgument = QStringLiteral("--login");

    // The login item's registration as the desktop has it.
    enum class Status {
        notRegistered = 0,
        enabled = 1,
        // Our entry, turned off by the user in the desktop's start-up settings:
        // left alone at launch, written again when the user turns it on here.
        requiresApproval = 2,
        // An entry under our name that starts another program (a moved install).
        notFound = 3,
    };

    static LaunchAtLoginManager& shared();

    LaunchAtLoginManager(Settings& settings, QString autostartFolder, QString executable, QObject* parent = nullptr);

    bool isEnabled() const { return m_isEnabled; }
    // Stores the value and changes the registration when needed, even when
    // the value is the one already held.
    void setIsEnabled(bool enabled);
    bool requiresApproval() const { return m_requiresApproval; }

    // Brings the registration in line with the stored preference.
    void syncRegistration();
    Status status() const;
    QString entryPath() const { return m_entry.filePath(); }

    // This start was made by the autostart entry.
    static bool isLaunchedAtLogin();
    static bool isLaunchedAtLogin(const QStringList& arguments);
    // Launched at login, or "--minimized" / "-minimized" as a whole argument.
    static bool shouldStartMinimized();
    static bool shouldStartMinimized(const QStringList& arguments);

Q_SIGNALS:
    void isEnabledChanged();
    void requiresApprovalChanged();

private:
    void updateRegistration(bool enabled);
    QString registerEntry();
    void setRequiresApproval(bool value);

    Settings& m_settings;
    AutostartEntry m_entry;
    QString m_executable;
    bool m_isEnabled = false;
    bool m_requiresApproval = false;
};
