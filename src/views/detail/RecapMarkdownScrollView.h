#pragma once

#include <QScrollArea>
#include <QString>

class QVBoxLayout;

// A recap as section cards: each card a plain-text title over its body with
// inline Markdown rendered. A text without usable sections shows whole, as
// one block. Links open only for http, https and mailto.
class RecapMarkdownScrollView : public QScrollArea {
    Q_OBJECT
public:
    explicit RecapMarkdownScrollView(QWidget* parent = nullptr);

    void setMarkdown(const QString& markdown);
    const QString& markdown() const { return m_markdown; }

private:
    void clear();
    QWidget* sectionCard(const QString& title, const QString& body);
    QWidget* wholeText(const QString& markdown);

    QString m_markdown;
    QWidget* m_content;
    QVBoxLayout* m_column;
};
