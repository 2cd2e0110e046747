#pragma once

#include <QList>
#include <QWidget>

// The rolling bars of a recording in progress: the newest values that fit,
// growing in from the right, red at the bottom to orange at the top.
class LiveBarStrip : public QWidget {
    Q_OBJECT
public:
    explicit LiveBarStrip(QWidget* parent = nullptr);

    // Only the newest values that fit are kept.
    void setPoints(const QList<float>& points);
    const QList<float>& shownValues() const { return m_shown; }
    int capacity() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QList<float> m_points;
    QList<float> m_shown;
};
