#include "views/sidebar/RecordingRowDelegate.h"

#include "views/common/ActivitySpinner.h"
#include "views/common/LineText.h"
#include "views/common/RoundedBox.h"
#include "views/logic/ActiveRowRules.h"
#include "views/logic/RecordingListModel.h"
#include "views/logic/RecordingRowRules.h"
#include "views/sidebar/RecordingDot.h"
#include "views/sidebar/RowRenameEditor.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr qreal detailSpacing = 6;
constexpr qreal badgeSpacing = 4;
constexpr qreal spinnerSide = 12;
constexpr qreal enhancedBadgeSide = 9;
constexpr qreal quoteIconSide = 9;
constexpr qreal quoteSpacing = 4;
constexpr qreal statusSpacing = 5;
constexpr int mergeCheckSize = 15;

const QString bullet = QStringLiteral("•");

qreal lineHeight(const QFont& font)
{
    return std::ceil(QFontMetricsF(font).height());
}

// One line of plain text at the left of `box`, cut with an ellipsis when it does not fit.
void drawLine(QPainter& painter, TextWidths& widths, const QRectF& box, const QFont& font, const QColor& color,
              const QString& text)
{
    if (box.width() <= 0)
        return;
    painter.setFont(font);
    painter.setPen(color);
    // The kept width is the text's own rounded up and one more: only a text
    // within two pixels of the room is measured exactly.
    const qreal width = widths.of(font, text);
    const bool fits = width <= box.width()
        || (width - 2 <= box.width() && QFontMetricsF(font).horizontalAdvance(text) <= box.width());
    LineText::draw(painter, box, Qt::AlignLeft | Qt::AlignVCenter, text, fits);
}

// A symbol centred in `box`, as the plain buttons draw theirs.
void drawSymbol(QPainter& painter, const QRectF& box, const QString& symbol, int size, const QColor& color)
{
    if (color.alpha() == 0)
        return;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QPixmap image = Icons::pixmap(symbol, size, color, ratio);
    const QPointF corner(std::round(box.center().x() - size / 2.0), std::round(box.center().y() - size / 2.0));
    painter.drawPixmap(QRectF(corner, QSizeF(size, size)), image, QRectF(image.rect()));
}

using DetailParts = RecordingRowDelegate::DetailParts;

} // namespace

qreal TextWidths::of(const QFont& font, const QString& text)
{
    // Titles come and go with the library: forget everything now and then.
    if (m_kept.size() > 20000)
        m_kept.clear();
    QString key = font.key();
    key += QChar(0x1f);
    key += text;
    const auto found = m_kept.constFind(key);
    if (found != m_kept.cend())
        return *found;
    const qreal width = std::ceil(QFontMetricsF(font).horizontalAdvance(text)) + 1;
    m_kept.insert(key, width);
    return width;
}

RecordingRowDelegate::RecordingRowDelegate(const RecordingListModel* model, QObject* parent)
    : QAbstractItemDelegate(parent)
    , m_model(model)
    , m_titleMedium(Style::font(13, TextWeight::medium))
    , m_titleSemibold(Style::font(13, TextWeight::semibold))
    , m_detail(Style::font(11))
    , m_bullet(Style::font(9))
    , m_duration(Style::monospacedFont(11))
    , m_badge(Style::font(10, TextWeight::semibold))
{
    const qreal title = std::max(lineHeight(m_titleMedium), lineHeight(m_titleSemibold));
    const qreal detail = std::max({lineHeight(m_detail), lineHeight(m_duration), lineHeight(m_bullet)});
    m_rowMetrics = {title, detail, std::max(lineHeight(m_detail), quoteIconSide)};
    m_activeMetrics = {title, std::max({lineHeight(m_badge), lineHeight(m_bullet), lineHeight(m_duration)})};
}

RecordingRowGeometry::Content RecordingRowDelegate::content(int row) const
{
    // Asked for every row at each layout of the list: only what sets the height.
    const RecordingRowRules::State state = m_model->state(row);
    RecordingRowGeometry::Content content;
    content.isEditing = state.isEditing;
    content.hasQuote = m_model->hasQuote(row);
    content.showsButtons = RecordingRowRules::showsRowButtons(state);
    const auto check = RecordingRowRules::mergeCheck(state);
    content.hasCheckBox = check != RecordingRowRules::MergeCheck::none;
    content.checkBoxTakesClicks = check == RecordingRowRules::MergeCheck::box;
    return content;
}

RecordingRowGeometry RecordingRowDelegate::recordingGeometry(const QRect& cell, int row) const
{
    return RecordingRowGeometry(QRectF(cell), m_rowMetrics, content(row));
}

ActiveRowGeometry RecordingRowDelegate::activeGeometry(const QRect& cell) const
{
    const auto& active = m_model->activeRow();
    return ActiveRowGeometry(QRectF(cell), m_activeMetrics, active && active->isEditing);
}

QSize RecordingRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int row = index.row();
    const qreal height = m_model->isActiveRow(row)
        ? ActiveRowGeometry::cellHeight(m_activeMetrics, m_model->activeRow()->isEditing)
        : RecordingRowGeometry::cellHeight(m_rowMetrics, content(row));
    return {option.rect.width(), static_cast<int>(std::ceil(height))};
}

void RecordingRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (m_model->isActiveRow(index.row()))
        paintActive(*painter, option.rect);
    else
        paintRecording(*painter, option.rect, index.row());
    painter->restore();
}

void RecordingRowDelegate::paintRecording(QPainter& painter, const QRect& cell, int row) const
{
    RecordingRowRules::State state = m_model->state(row);
    state.isHovered = row == m_hoveredRow;
    const RecordingItem& item = m_model->recording(row);
    const RecordingRowGeometry geometry = recordingGeometry(cell, row);

    RoundedBox::paint(painter, geometry.background(), RecordingRowGeometry::cornerRadius,
                      Style::color(RecordingRowRules::fill(state)));
    if (!geometry.checkBox().isEmpty()) {
        const auto check = RecordingRowRules::mergeCheckLook(state);
        drawSymbol(painter, geometry.checkBox(), check.symbol, mergeCheckSize, Style::color(check.tint));
    }
    if (!state.isEditing) {
        drawLine(painter, m_widths, geometry.titleLine(),
                 RecordingRowRules::titleWeight(state) == TextWeight::semibold ? m_titleSemibold : m_titleMedium,
                 Style::color(ColorRole::primary), item.title);
    }
    paintDetailLine(painter, geometry.detailLine(), row);

    if (!geometry.quoteLine().isEmpty()) {
        const QRectF line = geometry.quoteLine();
        drawSymbol(painter, QRectF(line.left(), line.top(), quoteIconSide, line.height()), QStringLiteral("text.quote"),
                   static_cast<int>(quoteIconSide), Style::color(ColorRole::secondary));
        const qreal textLeft = line.left() + quoteIconSide + quoteSpacing;
        drawLine(painter, m_widths, QRectF(textLeft, line.top(), line.right() - textLeft, line.height()), m_detail,
                 Style::color(ColorRole::secondary), m_model->quote(row));
    }

    if (!geometry.renameButton().isEmpty()) {
        drawSymbol(painter, geometry.renameButton(), QStringLiteral("pencil"), 13,
                   Style::color(ColorRole::secondary, RecordingRowRules::renameButtonOpacity(state)));
        drawSymbol(painter, geometry.exportButton(), QStringLiteral("arrow.down.circle"), 14,
                   Style::color(ColorRole::blue, RecordingRowRules::exportButtonOpacity(state)));
    }
}

namespace {

DetailParts layoutDetail(TextWidths& widths, const QRectF& line, const RecordingItem& item, const QString& date,
                         const RecordingRowRules::State& state, const QFont& detail, const QFont& bulletFont,
                         const QFont& duration, const QFont& badge)
{
    using Badge = RecordingRowRules::Badge;
    const QList<Badge> badges = RecordingRowRules::badges(state);
    // Bullet, duration and the spinners keep their width. When the line is
    // short the status texts give way first ("Transcr…"), the date only
    // once they are down to their spinners.
    const qreal bulletWidth = widths.of(bulletFont, bullet);
    const qreal durationWidth = widths.of(duration, item.formattedDuration());
    const bool transcribing = badges.contains(Badge::transcribing);
    const bool enhancing = badges.contains(Badge::enhancing);
    const qreal transcribingText
        = transcribing ? badgeSpacing + widths.of(badge, RecordingRowRules::badgeText(Badge::transcribing, state)) : 0;
    const qreal enhancingText
        = enhancing ? badgeSpacing + widths.of(badge, RecordingRowRules::badgeText(Badge::enhancing, state)) : 0;
    qreal fixed = detailSpacing + bulletWidth + detailSpacing + durationWidth;
    if (badges.contains(Badge::enhancedAvailable))
        fixed += detailSpacing + enhancedBadgeSide;
    if (transcribing)
        fixed += detailSpacing + spinnerSide;
    if (enhancing)
        fixed += detailSpacing + spinnerSide;
    const qreal dateWidth = std::clamp(line.width() - fixed, 0.0, widths.of(detail, date));
    qreal textRoom = std::max(0.0, line.width() - fixed - dateWidth);
    const auto shareText = [&textRoom](qreal wanted) {
        const qreal given = std::min(wanted, textRoom);
        textRoom -= given;
        return given;
    };
    const qreal transcribingWidth = transcribing ? spinnerSide + shareText(transcribingText) : 0;
    const qreal enhancingWidth = enhancing ? spinnerSide + shareText(enhancingText) : 0;

    DetailParts parts;
    qreal x = line.left();
    const auto take = [&](qreal width) {
        const QRectF part(x, line.top(), width, line.height());
        x += width + detailSpacing;
        return part;
    };
    parts.date = take(dateWidth);
    parts.bullet = take(bulletWidth);
    parts.duration = take(durationWidth);
    if (badges.contains(Badge::enhancedAvailable))
        parts.enhanced = take(enhancedBadgeSide);
    if (transcribing)
        parts.transcribing = take(transcribingWidth);
    if (enhancing)
        parts.enhancing = take(enhancingWidth);
    return parts;
}

void paintProgressBadge(QPainter& painter, TextWidths& widths, const QRectF& box, const QFont& font, const Tint& tint, const QString& text,
                        int step)
{
    const QColor color = Style::color(tint);
    const QRectF spinner(box.left(), box.center().y() - spinnerSide / 2, spinnerSide, spinnerSide);
    ActivitySpinner::paint(painter, spinner, color, step);
    const qreal textLeft = spinner.right() + badgeSpacing;
    drawLine(painter, widths, QRectF(textLeft, box.top(), box.right() - textLeft, box.height()), font, color, text);
}

} // namespace

void RecordingRowDelegate::paintDetailLine(QPainter& painter, const QRectF& line, int row) const
{
    const RecordingItem& item = m_model->recording(row);
    const RecordingRowRules::State state = m_model->state(row);
    const QString date = item.formattedDate();
    const DetailParts parts = layoutDetail(m_widths, line, item, date, state, m_detail, m_bullet, m_duration, m_badge);
    const QColor secondary = Style::color(ColorRole::secondary);
    drawLine(painter, m_widths, parts.date, m_detail, secondary, date);
    drawLine(painter, m_widths, parts.bullet, m_bullet, Style::color(ColorRole::secondary, 0.6), bullet);
    drawLine(painter, m_widths, parts.duration, m_duration, secondary, item.formattedDuration());
    if (!parts.enhanced.isEmpty())
        drawSymbol(painter, parts.enhanced, QStringLiteral("sparkles"), static_cast<int>(enhancedBadgeSide),
                   Style::color(ColorRole::purple));
    if (!parts.transcribing.isEmpty())
        paintProgressBadge(painter, m_widths, parts.transcribing, m_badge, {ColorRole::accent},
                           RecordingRowRules::badgeText(RecordingRowRules::Badge::transcribing, state), m_spinnerStep);
    if (!parts.enhancing.isEmpty())
        paintProgressBadge(painter, m_widths, parts.enhancing, m_badge, {ColorRole::purple},
                           RecordingRowRules::badgeText(RecordingRowRules::Badge::enhancing, state), m_spinnerStep);
}

RecordingRowDelegate::DetailParts RecordingRowDelegate::detailParts(const QRectF& line, int row) const
{
    const RecordingItem& item = m_model->recording(row);
    return layoutDetail(m_widths, line, item, item.formattedDate(), m_model->state(row), m_detail, m_bullet,
                        m_duration, m_badge);
}

qreal RecordingRowDelegate::dateWidth(int row) const
{
    return m_widths.of(m_detail, m_model->recording(row).formattedDate());
}

QRectF RecordingRowDelegate::enhancedBadge(const QRectF& line, int row) const
{
    const RecordingItem& item = m_model->recording(row);
    return layoutDetail(m_widths, line, item, item.formattedDate(), m_model->state(row), m_detail, m_bullet,
                        m_duration, m_badge)
        .enhanced;
}

void RecordingRowDelegate::paintActive(QPainter& painter, const QRect& cell) const
{
    const auto& active = *m_model->activeRow();
    const ActiveRowGeometry geometry = activeGeometry(cell);
    // The sidebar always shows this row in its selected look.
    const auto look = ActiveRowRules::look(true, m_hoveredRow == 0);

    RoundedBox::paint(painter, geometry.background().adjusted(0.5, 0.5, -0.5, -0.5), ActiveRowGeometry::cornerRadius,
                      Style::color(look.fill), Style::color(look.border));

    RecordingDot::paint(painter, geometry.dot().center(), active.isPaused, m_pulse);
    const auto painted = [this](const QRectF& part) {
        return m_paintedRegion.isEmpty() || m_paintedRegion.intersects(part.toAlignedRect());
    };
    if (!active.isEditing && painted(geometry.titleLine())) {
        drawLine(painter, m_widths, geometry.titleLine(), look.titleWeight == TextWeight::semibold ? m_titleSemibold : m_titleMedium,
                 Style::color(ColorRole::primary), active.title);
    }

    const QRectF line = geometry.statusLine();
    if (painted(line)) {
        const auto status = ActiveRowRules::statusLine(active.isPaused);
        const QString elapsed = ActiveRowRules::formattedDuration(active.duration);
        // The state may be cut short, the time never.
        const qreal bulletWidth = m_widths.of(m_bullet, bullet);
        const qreal timeWidth = m_widths.of(m_duration, elapsed);
        const qreal statusWidth = std::clamp(line.width() - 2 * statusSpacing - bulletWidth - timeWidth, 0.0,
                                             m_widths.of(m_badge, status.text));
        qreal x = line.left();
        drawLine(painter, m_widths, QRectF(x, line.top(), statusWidth, line.height()), m_badge,
                 Style::color(status.color), status.text);
        x += statusWidth + statusSpacing;
        drawLine(painter, m_widths, QRectF(x, line.top(), bulletWidth, line.height()), m_bullet,
                 Style::color(ColorRole::secondary, 0.6), bullet);
        x += bulletWidth + statusSpacing;
        drawLine(painter, m_widths, QRectF(x, line.top(), timeWidth, line.height()), m_duration,
                 Style::color(ColorRole::secondary), elapsed);
    }

    if (!geometry.renameButton().isEmpty() && painted(geometry.renameButton().united(geometry.stopButton()))) {
        drawSymbol(painter, geometry.renameButton(), QStringLiteral("pencil"), 13,
                   Style::color(ColorRole::secondary, look.renameButtonOpacity));
        drawSymbol(painter, geometry.stopButton(), QStringLiteral("stop.circle.fill"), 15,
                   Style::color(ColorRole::red, look.stopButtonOpacity));
    }
}

QString RecordingRowDelegate::toolTipAt(const QRect& cell, int row, const QPoint& point) const
{
    if (m_model->isActiveRow(row)) {
        switch (activeGeometry(cell).partAt(point)) {
        case ActiveRowGeometry::Part::renameButton:
            return QStringLiteral("Rename recording in progress");
        case ActiveRowGeometry::Part::stopButton:
            return QStringLiteral("Stop & save recording");
        default:
            return {};
        }
    }
    const RecordingRowGeometry geometry = recordingGeometry(cell, row);
    // The source's mark is no control but tells what it is all the same.
    if (geometry.checkBox().contains(point))
        return RecordingRowRules::mergeCheckLook(m_model->state(row)).toolTip;
    switch (geometry.partAt(point)) {
    case RecordingRowGeometry::Part::renameButton:
        return QStringLiteral("Rename recording");
    case RecordingRowGeometry::Part::exportButton:
        return QStringLiteral("Export MP3 to Downloads");
    default:
        break;
    }
    if (enhancedBadge(geometry.detailLine(), row).contains(point))
        return QStringLiteral("Studio Enhanced Voice available");
    return {};
}

QWidget* RecordingRowDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const
{
    return new RowRenameEditor(parent);
}

void RecordingRowDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                                const QModelIndex& index) const
{
    const QRectF line = m_model->isActiveRow(index.row()) ? activeGeometry(option.rect).titleLine()
                                                          : recordingGeometry(option.rect, index.row()).titleLine();
    editor->setGeometry(line.toAlignedRect());
}
