#pragma once

#include "views/logic/ViewColor.h"

#include <QWidget>

// Names the chosen sources: a capsule with a coloured dot and the words, or,
// where the bar is narrow, the dot alone with the words as its tooltip.
class SourceBadgeView : public QWidget {
    Q_OBJECT
public:
    explicit SourceBadgeView(QWidget* parent = nullptr);

    void setBadge(const QString& text, ColorRole color);
    void setDotOnly(bool dotOnly);
    QString text() const { return m_text; }
    ColorRole color() const { return m_color; }
    bool isDotOnly() const { return m_dotOnly; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    ColorRole m_color = ColorRole::none;
    bool m_dotOnly = false;
};
