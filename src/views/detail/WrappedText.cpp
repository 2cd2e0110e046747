#include "views/detail/WrappedText.h"

#include <QHash>
#include <QTextBoundaryFinder>

namespace {

bool isBreakSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isLineFeed(QChar c)
{
    return c == QLatin1Char('\n') || c == QChar(QChar::LineSeparator) || c == QChar(QChar::ParagraphSeparator);
}

// Bounds the cache for a long session of many transcripts.
constexpr qsizetype maximumCachedPieces = 100000;

// Widths by font; the views use them on the main thread only.
WrappedText::Advances& advancesFor(const QFont& font)
{
    static QHash<QString, WrappedText::Advances> byFont;
    return byFont[font.key()];
}

} // namespace

WrappedText::WrappedText(const QFont& font, qreal extraLineSpacing)
    : m_font(font)
    , m_metrics(font)
    , m_extraLineSpacing(extraLineSpacing)
    , m_advances(&advancesFor(font))
{
}

qreal WrappedText::advance(QStringView piece)
{
    const auto cached = m_advances->find(piece);
    if (cached != m_advances->end())
        return cached->second;
    if (qsizetype(m_advances->size()) >= maximumCachedPieces)
        m_advances->clear();
    const QString copy = piece.toString();
    const qreal width = m_metrics.horizontalAdvance(copy);
    m_advances->emplace(copy, width);
    return width;
}

void WrappedText::breakLongWord(const QString& text, qsizetype start, qsizetype end, qreal width,
                                QList<Line>& lines, Line& current, qreal& currentWidth)
{
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, QStringView(text).mid(start, end - start).toString());
    qsizetype from = 0;
    for (qsizetype to = graphemes.toNextBoundary(); to > 0; to = graphemes.toNextBoundary()) {
        const qreal w = advance(QStringView(text).mid(start + from, to - from));
        if (current.length > 0 && currentWidth + w > width) {
            lines.append(current);
            current = {start + from, 0};
            currentWidth = 0;
        }
        if (current.length == 0)
            current.start = start + from;
        current.length = start + to - current.start;
        currentWidth += w;
        from = to;
    }
}

QList<WrappedText::Line> WrappedText::lines(const QString& text, qreal width)
{
    QList<Line> lines;
    Line current;
    qreal currentWidth = 0;
    const qreal space = advance(u" ");
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const QChar c = text.at(i);
        if (isLineFeed(c)) {
            lines.append(current);
            current = {i + 1, 0};
            currentWidth = 0;
            ++i;
            continue;
        }
        if (isBreakSpace(c)) {
            // Spaces at the start of a wrapped line are not drawn.
            if (current.length > 0 || lines.isEmpty()) {
                if (current.length == 0)
                    current.start = i;
                current.length = i + 1 - current.start;
                currentWidth += space;
            } else {
                current.start = i + 1;
            }
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < n && !isBreakSpace(text.at(end)) && !isLineFeed(text.at(end)))
            ++end;
        const qreal w = advance(QStringView(text).mid(i, end - i));
        if (current.length > 0 && currentWidth + w > width) {
            // Trailing spaces stay on the line they end.
            lines.append(current);
            current = {i, 0};
            currentWidth = 0;
        }
        if (w > width) {
            breakLongWord(text, i, end, width, lines, current, currentWidth);
        } else {
            if (current.length == 0)
                current.start = i;
            current.length = end - current.start;
            currentWidth += w;
        }
        i = end;
    }
    lines.append(current);
    return lines;
}

qreal WrappedText::height(qsizetype lineCount) const
{
    const qsizetype count = std::max<qsizetype>(lineCount, 1);
    return count * m_metrics.lineSpacing() + (count - 1) * m_extraLineSpacing;
}
