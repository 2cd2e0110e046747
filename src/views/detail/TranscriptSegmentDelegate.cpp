#include "views/detail/TranscriptSegmentDelegate.h"

#include "views/detail/TranscriptSegmentModel.h"
#include "views/logic/TranscriptRules.h"
#include "views/style/Contrast.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr qreal rowPaddingX = 14;
constexpr qreal rowPaddingY = 8;
constexpr qreal itemSpacing = 14;
constexpr qreal pillPaddingX = 8;
constexpr qreal pillPaddingY = 4;
constexpr qreal pillSymbolSize = 9;
constexpr qreal pillSymbolGap = 4;
constexpr int textSize = 14;
constexpr qreal extraLineSpacing = 3;
constexpr qreal rowRadius = 8;
constexpr qreal pillRadius = 6;
// Rows whose shaped lines are kept; a screenful is a few dozen.
constexpr qsizetype shapedRowLimit = 400;

// Characters in a start's "%02d:%02d" text, without formatting it: the pill's
// font is monospaced, so the length gives the width.
qsizetype timestampLength(double start)
{
    if (!std::isfinite(start) || std::fabs(start) >= 9.2e18)
        return 5; // "--:--"
    const long long whole = static_cast<long long>(start);
    long long minutes = whole / 60;
    qsizetype digits = minutes < 0 ? 2 : 1; // a sign takes a place
    for (minutes = minutes < 0 ? -minutes : minutes; minutes >= 10; minutes /= 10)
        ++digits;
    return std::max<qsizetype>(digits, 2) + 3;
}

const QFont& pillFont()
{
    static const QFont font = Style::monospacedFont(11, TextWeight::bold);
    return font;
}

qreal pillHeight()
{
    static const qreal height = std::max<qreal>(pillSymbolSize, QFontMetricsF(pillFont()).height()) + pillPaddingY * 2;
    return height;
}

} // namespace

TranscriptSegmentDelegate::TranscriptSegmentDelegate(QAbstractItemView* view, const TranscriptSegmentModel* model)
    : QStyledItemDelegate(view)
    , m_view(view)
    , m_model(model)
    , m_regular(Style::font(textSize, TextWeight::regular), extraLineSpacing)
    , m_bold(Style::font(textSize, TextWeight::semibold), extraLineSpacing)
    , m_pill(pillFont(), 0)
{
}

void TranscriptSegmentDelegate::reset()
{
    forget();
}

void TranscriptSegmentDelegate::forget() const
{
    m_keptWidth = -1;
    m_kept.clear();
    m_shaped.clear();
}

int TranscriptSegmentDelegate::rowWidth() const
{
    return std::max(m_view->viewport()->width() - 2 * sidePadding, 120);
}

bool TranscriptSegmentDelegate::isBold(int row) const
{
    return m_model->isActive(row) || m_model->isMatching(row);
}

TranscriptSegmentDelegate::KeptRow& TranscriptSegmentDelegate::kept(int row) const
{
    const int width = rowWidth();
    if (width != m_keptWidth) {
        // Another width wraps every row anew; the pills stay as they are.
        for (KeptRow& kept : m_kept)
            kept.textHeight[0] = kept.textHeight[1] = -1;
        m_shaped.clear();
        m_keptWidth = width;
    }
    const size_t index = static_cast<size_t>(row);
    if (m_kept.size() <= index)
        m_kept.resize(std::max<size_t>(index + 1, static_cast<size_t>(m_model->rowCount())));
    return m_kept[index];
}

qreal TranscriptSegmentDelegate::pillWidth(int row) const
{
    KeptRow& k = kept(row);
    if (k.pillWidth < 0)
        k.pillWidth = pillPaddingX * 2 + pillSymbolSize + pillSymbolGap
            + m_pill.advance(QString(timestampLength(m_model->segment(row).start), QLatin1Char('0')));
    return k.pillWidth;
}

qreal TranscriptSegmentDelegate::textWidth(int row) const
{
    return std::max(rowWidth() - 2 * rowPaddingX - pillWidth(row) - itemSpacing, 40.0);
}

qreal TranscriptSegmentDelegate::textHeight(int row, bool bold) const
{
    qreal& height = kept(row).textHeight[bold ? 1 : 0];
    if (height < 0) {
        WrappedText& text = bold ? m_bold : m_regular;
        height = text.height(text.lines(m_model->segment(row).text, textWidth(row)).size());
    }
    return height;
}

qreal TranscriptSegmentDelegate::rowHeight(int row, bool bold) const
{
    return std::max(pillHeight(), textHeight(row, bold)) + 2 * rowPaddingY;
}

bool TranscriptSegmentDelegate::heightDependsOnWeight(int row) const
{
    // A row measured only in regular type has never been laid out bold and
    // is not bold now: its height cannot have changed.
    if (!isBold(row) && kept(row).textHeight[1] < 0)
        return false;
    return textHeight(row, false) != textHeight(row, true);
}

QSize TranscriptSegmentDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const int row = index.row();
    const qreal above = row == 0 ? edgePadding : 0;
    const qreal below = row == m_model->rowCount() - 1 ? edgePadding : rowSpacing;
    return QSize(rowWidth() + 2 * sidePadding, int(std::ceil(above + rowHeight(row, isBold(row)) + below)));
}

QRectF TranscriptSegmentDelegate::rowRectIn(const QRect& itemRect, int row, bool bold) const
{
    const qreal top = itemRect.top() + (row == 0 ? edgePadding : 0);
    return QRectF(itemRect.left() + sidePadding, top, rowWidth(), rowHeight(row, bold));
}

QRectF TranscriptSegmentDelegate::rowRect(const QRect& itemRect, int row) const
{
    return rowRectIn(itemRect, row, isBold(row));
}

const QList<QStaticText>& TranscriptSegmentDelegate::shapedLines(int row, bool bold) const
{
    kept(row); // drops lines shaped for another width
    const qint64 key = qint64(row) * 2 + (bold ? 1 : 0);
    auto found = m_shaped.find(key);
    if (found != m_shaped.end())
        return *found;
    if (m_shaped.size() >= shapedRowLimit)
        m_shaped.clear();
    WrappedText& text = bold ? m_bold : m_regular;
    const QString& content = m_model->segment(row).text;
    QList<QStaticText> lines;
    for (const WrappedText::Line& line : text.lines(content, textWidth(row))) {
        QStaticText shaped(content.mid(line.start, line.length));
        shaped.setTextFormat(Qt::PlainText); // outside text is never markup
        shaped.prepare(QTransform(), text.font());
        lines.append(shaped);
    }
    return *m_shaped.insert(key, lines);
}

QColor TranscriptSegmentDelegate::textColor(const TranscriptRules::RowStyle& style, const QPalette& palette)
{
    // The accent on its own tint is too faint in some palettes (dark ones
    // above all): the ink is moved until it reads on the row over either
    // surface the pane may lie on.
    const QColor rowTint = Style::color(style.background);
    QColor ink = Style::color(style.textColor);
    for (const QPalette::ColorRole surface : {QPalette::Window, QPalette::Base, QPalette::Window})
        ink = Contrast::readable(ink, Contrast::over(rowTint, palette.color(surface)));
    return ink;
}

void TranscriptSegmentDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const
{
    const int row = index.row();
    TranscriptRules::RowFlags flags;
    flags.active = m_model->isActive(row);
    flags.matching = m_model->isMatching(row);
    flags.playing = m_model->isPlaying();
    flags.hovered = m_model->isHovered(row);
    const TranscriptRules::RowStyle style = TranscriptRules::rowStyle(flags);
    const bool bold = style.textWeight != TextWeight::regular;

    const QRectF rowRect = rowRectIn(option.rect, row, bold);
    const QRectF pill(rowRect.left() + rowPaddingX, rowRect.top() + rowPaddingY, pillWidth(row), pillHeight());
    const QPointF textOrigin(pill.right() + itemSpacing, rowRect.top() + rowPaddingY);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    QPainterPath rowShape;
    rowShape.addRoundedRect(rowRect.adjusted(0.5, 0.5, -0.5, -0.5), rowRadius, rowRadius);
    painter->fillPath(rowShape, Style::color(style.background));
    if (style.outline.role != ColorRole::none) {
        painter->setPen(QPen(Style::color(style.outline), 1));
        painter->drawPath(rowShape);
    }

    QPainterPath pillShape;
    pillShape.addRoundedRect(pill, pillRadius, pillRadius);
    painter->fillPath(pillShape, Style::color(style.pillFill));
    const QColor pillContent = Style::color(style.pillContent);
    painter->drawPixmap(QPointF(pill.left() + pillPaddingX, pill.center().y() - pillSymbolSize / 2),
                        Icons::pixmap(style.pillSymbol, int(pillSymbolSize), pillContent,
                                      painter->device()->devicePixelRatioF()));
    painter->setPen(pillContent);
    painter->setFont(pillFont());
    const qreal timeLeft = pill.left() + pillPaddingX + pillSymbolSize + pillSymbolGap;
    painter->drawText(QRectF(timeLeft, pill.top(), pill.right() - pillPaddingX - timeLeft, pill.height()),
                      Qt::AlignLeft | Qt::AlignVCenter, m_model->segment(row).formattedTimestamp());

    const WrappedText& text = bold ? m_bold : m_regular;
    painter->setPen(textColor(style, option.palette));
    painter->setFont(text.font());
    QPointF at = textOrigin;
    for (const QStaticText& line : shapedLines(row, bold)) {
        painter->drawStaticText(at, line);
        at.ry() += text.lineStep();
    }
    painter->restore();
}
