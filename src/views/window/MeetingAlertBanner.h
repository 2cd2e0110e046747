#pragma once

#include "views/logic/MeetingBannerRules.h"

#include <QWidget>

#include <optional>

class ElidedLabel;
class MeetingAlertBannerButton;
class QLabel;

// The in-window card through which the user answers the meeting detector: an
// offer to record a detected call, or (`isEndPrompt`) the notice that the
// tracked call ended, with the seconds left before the recording is stopped
// and saved. It only shows and calls back; the window decides when it shows.
class MeetingAlertBanner : public QWidget {
    Q_OBJECT
public:
    explicit MeetingAlertBanner(bool isEndPrompt, QWidget* parent = nullptr);

    bool isEndPrompt() const { return m_isEndPrompt; }
    // The meeting's suggested recording title, and the countdown (the
    // meeting-end card shows 30 without one).
    void setMeeting(const QString& meetingTitle, std::optional<int> countdownSeconds = std::nullopt);
    const MeetingBannerRules::Content& content() const { return m_content; }

    QLabel* headingLabel() const { return m_heading; }
    ElidedLabel* titleLabel() const { return m_title; }
    ElidedLabel* detailLabel() const { return m_detail; }
    MeetingAlertBannerButton* primaryButton() const { return m_primary; }
    MeetingAlertBannerButton* secondaryButton() const { return m_secondary; }

Q_SIGNALS:
    // "Record" or "Stop & Save".
    void primaryActionTriggered();
    // "Dismiss" or "Keep Recording".
    void dismissTriggered();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refresh();

    bool m_isEndPrompt;
    MeetingBannerRules::Content m_content;
    QLabel* m_icon;
    QLabel* m_heading;
    ElidedLabel* m_bullet;
    ElidedLabel* m_title;
    ElidedLabel* m_detail;
    MeetingAlertBannerButton* m_primary = nullptr;
    MeetingAlertBannerButton* m_secondary = nullptr;
};
