#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QTimer>

#include <functional>

class QWidget;
class QWindow;

// The one pace of the live views: their animations step and their changes
// are drawn together, at most once per frame, and not at all while a widget
// cannot be seen (hidden, its window minimised, hidden to the tray, not
// exposed or, on X11, fully covered by other windows). What a widget asked to redraw while out of sight is drawn when it
// comes back. Main thread only.
class FrameClock : public QObject {
    Q_OBJECT
public:
    // 20 frames a second: a pulse of 0.8 s or a glide between levels that
    // come ten times a second looks as smooth as at more, and each frame is
    // a round trip to the display.
    static constexpr int frameMs = 50;

    static FrameClock& shared();

    // Redraws `rect` of `widget` (all of it when empty) with the next frame.
    void requestUpdate(QWidget* widget, const QRect& rect = {});
    // Calls `step` once per frame while `widget` can be seen, until stopped;
    // `step` gets the milliseconds since its previous call while it kept
    // running (0 on the first call and after a time out of sight).
    void animate(QWidget* widget, std::function<void(qint64 stepMs)> step);
    void stopAnimating(QWidget* widget);
    bool isAnimating(const QWidget* widget) const;
    // Calls `changed` with whether `widget` can be seen, now and each time
    // that changes.
    void followOnScreen(QWidget* widget, std::function<void(bool onScreen)> changed);

    // Visible, in a window that is neither minimised nor unexposed.
    static bool isOnScreen(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FrameClock();

    struct Entry {
        QPointer<QWidget> widget;
        QRegion dirty;
        bool wholeWidget = false;
        std::function<void(qint64)> step;
        qint64 lastStepMs = -1;
        std::function<void(bool)> follower;
        bool followedOnScreen = false;
    };

    Entry& entryFor(QWidget* widget);
    void watch(QWidget* widget);
    void watchWindow(QWindow* window);
    void schedule();
    void frame();
    // Soon, once the event that may have changed it has been handled.
    void checkFollowersSoon();
    void checkFollowers();

    QHash<const QWidget*, Entry> m_entries;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastFrameMs = -frameMs;
    bool m_inFrame = false;
    bool m_followersCheckPending = false;
};
