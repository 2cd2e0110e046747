#pragma once

#include <QString>
#include <QWidget>

#include <optional>

class ElidedLabel;
class QHBoxLayout;
class QLabel;
class QStackedWidget;

// The rounded panel the transcript and recap of a stored recording sit in:
// a header row with the title, an optional subtitle and the pane's buttons,
// a divider, and the content below.
class DetailPanel : public QWidget {
    Q_OBJECT
public:
    explicit DetailPanel(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    void setSubtitle(const std::optional<QString>& subtitle);
    // Buttons and menus at the right end of the header, in order.
    void addHeaderWidget(QWidget* widget);
    // The content's place; the panel owns what is put there.
    QStackedWidget* content() const { return m_content; }

    ElidedLabel* titleLabel() const { return m_title; }
    QLabel* subtitleLabel() const { return m_subtitle; }

private:
    ElidedLabel* m_title;
    QLabel* m_subtitle;
    QHBoxLayout* m_header;
    QStackedWidget* m_content;
};
