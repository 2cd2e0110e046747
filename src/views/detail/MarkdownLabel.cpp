#include "views/detail/MarkdownLabel.h"

#include "views/detail/LinkOpener.h"
#include "views/style/Style.h"
#include "views/logic/InlineMarkdown.h"

MarkdownLabel::MarkdownLabel(const QString& markdown, int pixelSize, double extraLineSpacing, QWidget* parent)
    : QLabel(parent)
{
    setFont(Style::font(pixelSize));
    setTextFormat(Qt::RichText);
    setWordWrap(true);
    setOpenExternalLinks(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    // Pre-wrap keeps runs of blanks (indented bullets); the line height adds
    // the extra spacing between lines.
    const int lineHeight = qRound(QFontMetricsF(font()).lineSpacing() + extraLineSpacing);
    setText(QStringLiteral("<div style=\"white-space: pre-wrap; line-height: %1px\">").arg(lineHeight)
            + InlineMarkdown::toHtml(markdown) + QStringLiteral("</div>"));
    connect(this, &QLabel::linkActivated, this, [](const QString& link) { LinkOpener::open(QUrl(link)); });
}
