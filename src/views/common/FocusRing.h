#pragma once

#include <QPointer>
#include <QWidget>

// Draws a ring around the control that holds the keyboard focus inside its
// host, when the keyboard put it there. Most controls paint themselves or sit
// under style sheets that drop the style's own focus frame; one ring on top
// shows the focus the same way on all of them.
class FocusRing : public QWidget {
    Q_OBJECT
public:
    explicit FocusRing(QWidget* host);

    // The control the ring is drawn around, or null while it is hidden.
    QWidget* target() const { return m_target; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void follow(QWidget* widget);
    void place();

    QWidget* m_host;
    QPointer<QWidget> m_target;
};
