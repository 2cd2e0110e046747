#pragma once

#include "views/logic/StatusBadgeRules.h"

#include <QWidget>

class ActivitySpinner;
class QHBoxLayout;
class QLabel;
class QProgressBar;

// Draws one status badge from its look: a capsule, a button or a bare row of
// a leading mark and a text. Hidden when the look shows nothing, so the bar's
// other items close up.
class BadgeView : public QWidget {
    Q_OBJECT
public:
    explicit BadgeView(QWidget* parent = nullptr);

    void setLook(const StatusBadgeRules::Look& look);
    const StatusBadgeRules::Look& look() const { return m_look; }
    QString text() const;

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool isClickable() const;

    StatusBadgeRules::Look m_look;
    QHBoxLayout* m_row = nullptr;
    ActivitySpinner* m_spinner = nullptr;
    QLabel* m_icon = nullptr;
    QWidget* m_dot = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_text = nullptr;
    bool m_pressed = false;
    bool m_hovered = false;
};
