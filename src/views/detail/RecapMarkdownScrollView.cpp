#include "views/detail/RecapMarkdownScrollView.h"

#include "views/detail/MarkdownLabel.h"
#include "views/detail/RoundedPanel.h"
#include "views/logic/RecapSections.h"
#include "views/style/Style.h"

#include <QScrollBar>
#include <QLabel>
#include <QVBoxLayout>

RecapMarkdownScrollView::RecapMarkdownScrollView(QWidget* parent)
    : QScrollArea(parent)
    , m_content(new QWidget)
    , m_column(new QVBoxLayout(m_content))
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Style::makeThin(verticalScrollBar());
    m_column->setContentsMargins(20, 20, 20, 20);
    m_column->setSpacing(20);
    m_content->setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setWidget(m_content);
    m_content->setAutoFillBackground(false); // setWidget turned it on
}

void RecapMarkdownScrollView::clear()
{
    while (QLayoutItem* item = m_column->takeAt(0)) {
        delete item->widget();
        delete item;
    }
}

void RecapMarkdownScrollView::setMarkdown(const QString& markdown)
{
    if (markdown == m_markdown && m_column->count() > 0)
        return;
    m_markdown = markdown;
    clear();
    const QList<RecapSections::Section> sections = RecapSections::parse(markdown);
    if (sections.isEmpty()) {
        m_column->addWidget(wholeText(markdown));
    } else {
        for (const RecapSections::Section& section : sections)
            m_column->addWidget(sectionCard(section.title, section.content));
    }
    m_column->addStretch(1);
}

QWidget* RecapMarkdownScrollView::sectionCard(const QString& title, const QString& body)
{
    auto* card = new RoundedPanel({}, 8);
    card->setObjectName(QStringLiteral("recapSectionCard"));
    card->setPaletteFill(QPalette::Window, 0.6);
    auto* column = new QVBoxLayout(card);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(10);

    // Titles are shown exactly as written, Markdown markers included.
    auto* heading = new QLabel(title);
    heading->setObjectName(QStringLiteral("recapSectionTitle"));
    heading->setTextFormat(Qt::PlainText);
    heading->setFont(Style::font(15, TextWeight::bold));
    heading->setWordWrap(true);
    heading->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(heading);

    auto* text = new MarkdownLabel(body, 13, 4);
    text->setObjectName(QStringLiteral("recapSectionBody"));
    column->addWidget(text);
    return card;
}

QWidget* RecapMarkdownScrollView::wholeText(const QString& markdown)
{
    auto* holder = new QWidget;
    auto* column = new QVBoxLayout(holder);
    column->setContentsMargins(24, 24, 24, 24);
    auto* text = new MarkdownLabel(markdown, 14, 5);
    text->setObjectName(QStringLiteral("recapWholeText"));
    column->addWidget(text);
    return holder;
}
