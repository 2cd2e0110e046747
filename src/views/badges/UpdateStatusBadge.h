#pragma once

#include <QPointer>
#include <QWidget>

class BadgeView;
#include <QMessageBox>
class UpdateManager;

// The updater's state at the end of the source bar: checking, up to date,
// an offer to download, the download's progress, the restart button with its
// confirmation, or a failed check. Nothing while the updater is idle.
class UpdateStatusBadge : public QWidget {
    Q_OBJECT
public:
    explicit UpdateStatusBadge(UpdateManager& updater, bool compact = false, QWidget* parent = nullptr);

    void setCompact(bool compact);
    BadgeView* badge() const { return m_badge; }
    // The restart confirmation while it is up.
    QMessageBox* restartAlert() const { return m_alert; }

private:
    void refresh();
    void onClicked();
    void showRestartAlert();

    UpdateManager& m_updater;
    bool m_compact;
    BadgeView* m_badge;
    QPointer<QMessageBox> m_alert;
};
