#pragma once

#include <QObject>

class MeetingAlertBanner;
class RecordingViewModel;
class QWidget;

// The window's two meeting banners, following the view model's meeting
// detector and recorder state: the offer to record while nothing records,
// the offer to stop (with its countdown) while a recording runs or is paused.
// Their buttons answer the detector.
class MeetingAlertBanners : public QObject {
    Q_OBJECT
public:
    MeetingAlertBanners(RecordingViewModel& vm, QWidget* window);

    MeetingAlertBanner* detectedBanner() const { return m_detected; }
    MeetingAlertBanner* endBanner() const { return m_end; }

    // Stacks the shown banners from `top`, `spacing` apart, across the window
    // less the side margins; returns where the next entry goes.
    int place(int top, int spacing);

Q_SIGNALS:
    // A banner appeared, went or changed its size: the overlay is laid out again.
    void layoutChanged();

private:
    void refresh();

    RecordingViewModel& m_vm;
    QWidget* m_window;
    MeetingAlertBanner* m_detected;
    MeetingAlertBanner* m_end;
};
