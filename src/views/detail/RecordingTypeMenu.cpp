#include "views/detail/RecordingTypeMenu.h"

#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QFontMetricsF>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int symbolGap = 6;
} // namespace

RecordingTypeMenu::RecordingTypeMenu(const QString& prefix, int pixelSize, int paddingX, int paddingY,
                                     std::function<void(RecordingType)> chosen, QWidget* parent)
    : QToolButton(parent)
    , m_prefix(prefix)
    , m_pixelSize(pixelSize)
    , m_paddingX(paddingX)
    , m_paddingY(paddingY)
    , m_chosen(std::move(chosen))
{
    setPopupMode(QToolButton::InstantPopup);
    setMenu(new QMenu(this));
    setCursor(Qt::PointingHandCursor);
    rebuildMenu();
}

void RecordingTypeMenu::setCurrent(RecordingType type)
{
    if (m_current == type)
        return;
    m_current = type;
    rebuildMenu();
    updateGeometry();
    update();
}

void RecordingTypeMenu::choose(RecordingType type)
{
    if (m_chosen)
        m_chosen(type);
}

void RecordingTypeMenu::rebuildMenu()
{
    // Painted by hand, so screen readers get the label from here.
    setAccessibleName(labelText());
    QMenu* rows = menu();
    rows->clear();
    const QColor primary = Style::color(ColorRole::primary);
    for (RecordingType type : RecordingTypes::allCases()) {
        QAction* row = rows->addAction(
            QIcon(Icons::pixmap(RecordingTypes::systemIcon(type), 14, primary, devicePixelRatioF())),
            RecordingTypes::displayName(type));
        row->setObjectName(QStringLiteral("typeRow_") + RecordingTypes::rawValue(type));
        // The check mark sits on the current type's row only.
        row->setCheckable(type == m_current);
        row->setChecked(type == m_current);
        connect(row, &QAction::triggered, this, [this, type] { choose(type); });
    }
}

QString RecordingTypeMenu::labelText() const
{
    return m_prefix + RecordingTypes::displayName(m_current);
}

QSize RecordingTypeMenu::sizeHint() const
{
    const QFontMetricsF metrics(Style::font(m_pixelSize, TextWeight::medium));
    const qreal symbol = m_pixelSize;
    return QSize(int(std::ceil(2 * m_paddingX + symbol + symbolGap + metrics.horizontalAdvance(labelText()))),
                 int(std::ceil(2 * m_paddingY + std::max(symbol, metrics.height()))));
}

void RecordingTypeMenu::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(area, 6, 6);
    painter.fillPath(shape, palette().color(QPalette::Base));
    painter.setPen(QPen(Style::color(Tint{ColorRole::primary, 0.12}), 1));
    painter.drawPath(shape);

    const QColor content = Style::color(ColorRole::primary);
    const int symbol = int(m_pixelSize);
    qreal x = m_paddingX;
    painter.drawPixmap(QPointF(x, (height() - symbol) / 2.0),
                       Icons::pixmap(RecordingTypes::systemIcon(m_current), symbol, content, devicePixelRatioF()));
    x += symbol + symbolGap;
    painter.setPen(content);
    painter.setFont(Style::font(m_pixelSize, TextWeight::regular));
    const QFontMetricsF plain(painter.font());
    painter.drawText(QPointF(x, (height() + plain.ascent() - plain.descent()) / 2.0), m_prefix);
    x += plain.horizontalAdvance(m_prefix);
    painter.setFont(Style::font(m_pixelSize, TextWeight::medium));
    painter.drawText(QPointF(x, (height() + plain.ascent() - plain.descent()) / 2.0),
                     RecordingTypes::displayName(m_current));
}
