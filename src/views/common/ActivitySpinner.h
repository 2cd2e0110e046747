#pragma once

#include <QWidget>

class QPainter;
class QVariantAnimation;

// A small indeterminate progress indicator: twelve spokes fading round.
class ActivitySpinner : public QWidget {
    Q_OBJECT
public:
    explicit ActivitySpinner(int side, QWidget* parent = nullptr);

    void setColor(const QColor& color);
    QSize sizeHint() const override { return {m_side, m_side}; }

    // One frame of the spinner in `square`, for views that paint rather than
    // hold a widget; `step` is the brightest spoke, 0 to 11.
    static void paint(QPainter& painter, const QRectF& square, const QColor& color, int step);
    static constexpr int spokes = 12;
    static constexpr int turnMs = 1000;

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
