#pragma once

#include <QWidget>

class QVariantAnimation;

// A small indeterminate progress indicator: twelve spokes fading round.
class ActivitySpinner : public QWidget {
    Q_OBJECT
public:
    explicit ActivitySpinner(int side, QWidget* parent = nullptr);

    void setColor(const QColor& color);
    QSize sizeHint() const override { return {m_side, m_side}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int m_side;
    int m_step = 0;
    QColor m_color;
    QVariantAnimation* m_animation = nullptr;
};
