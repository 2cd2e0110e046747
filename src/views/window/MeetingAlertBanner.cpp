#include "views/window/MeetingAlertBanner.h"

#include "views/common/ElidedLabel.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"
#include "views/window/MeetingAlertBannerButton.h"

#include <QEvent>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

constexpr int iconCircle = 34;
constexpr int iconGlyph = 17; // a 15-point semibold symbol
constexpr qreal cornerRadius = 10;

// The symbol in the tint, on a circle of the tint at 18 %.
QPixmap circledSymbol(const QString& symbol, const Tint& tint, qreal ratio)
{
    QPixmap image(QSize(iconCircle, iconCircle) * ratio);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Style::color(tint.role, 0.18));
    painter.drawEllipse(QRectF(0, 0, iconCircle, iconCircle));
    const QPixmap glyph = Icons::pixmap(symbol, iconGlyph, Style::color(tint), ratio);
    const qreal offset = (iconCircle - iconGlyph) / 2.0;
    painter.drawPixmap(QPointF(offset, offset), glyph);
    return image;
}

} // namespace

MeetingAlertBanner::MeetingAlertBanner(bool isEndPrompt, QWidget* parent)
    : QWidget(parent)
    , m_isEndPrompt(isEndPrompt)
    , m_icon(new QLabel(this))
    , m_heading(new QLabel(this))
    , m_bullet(new ElidedLabel(this))
    , m_title(new ElidedLabel(this))
    , m_detail(new ElidedLabel(this))
{
    setObjectName(isEndPrompt ? QStringLiteral("meetingEndBanner") : QStringLiteral("meetingDetectedBanner"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(14, 10, 14, 10);
    row->setSpacing(12);

    m_icon->setFixedSize(iconCircle, iconCircle);
    row->addWidget(m_icon, 0, Qt::AlignVCenter);

    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    auto* headingRow = new QHBoxLayout;
    headingRow->setSpacing(6);
    m_heading->setTextFormat(Qt::PlainText);
    m_heading->setFont(Style::font(13, TextWeight::semibold));
    m_bullet->setText(QStringLiteral("•"));
    m_bullet->setFont(Style::font(10));
    // The title comes from another program's window: one line, as it is.
    m_title->setFont(Style::font(12, TextWeight::medium));
    m_title->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    headingRow->addWidget(m_heading, 0, Qt::AlignVCenter);
    headingRow->addWidget(m_bullet, 0, Qt::AlignVCenter);
    headingRow->addWidget(m_title, 1, Qt::AlignVCenter);
    column->addLayout(headingRow);
    m_detail->setFont(Style::font(11));
    m_detail->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    column->addWidget(m_detail);
    row->addLayout(column, 1);
    row->addSpacing(12);

    m_primary = new MeetingAlertBannerButton(QString(), {}, this);
    m_primary->setObjectName(QStringLiteral("primaryButton"));
    m_secondary = new MeetingAlertBannerButton(QString(), {}, this);
    m_secondary->setObjectName(QStringLiteral("secondaryButton"));
    row->addWidget(m_primary, 0, Qt::AlignVCenter);
    row->addWidget(m_secondary, 0, Qt::AlignVCenter);
    connect(m_primary, &QAbstractButton::clicked, this, &MeetingAlertBanner::primaryActionTriggered);
    connect(m_secondary, &QAbstractButton::clicked, this, &MeetingAlertBanner::dismissTriggered);

    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(QColor(0, 0, 0, 51));
    shadow->setBlurRadius(12);
    shadow->setOffset(0, 5);
    setGraphicsEffect(shadow);

    setMeeting(QString());
    hide();
}

void MeetingAlertBanner::setMeeting(const QString& meetingTitle, std::optional<int> countdownSeconds)
{
    const MeetingBannerRules::Content next = MeetingBannerRules::content(meetingTitle, m_isEndPrompt, countdownSeconds);
    if (next == m_content && !m_heading->text().isEmpty())
        return;
    m_content = next;
    refresh();
}

void MeetingAlertBanner::refresh()
{
    if (!m_primary)
        return; // still being built
    m_icon->setPixmap(circledSymbol(m_content.symbol, m_content.tint, devicePixelRatioF()));
    m_heading->setText(m_content.heading);
    m_bullet->setColor(Style::color(ColorRole::secondary));
    m_title->setColor(Style::color(ColorRole::secondary));
    m_title->setText(m_content.title);
    m_detail->setText(m_content.detail);
    m_detail->setColor(Style::color(m_content.detailTint));
    m_primary->setText(m_content.primaryLabel);
    m_primary->setLook({m_content.primarySymbol, m_content.primaryFill, Tint{ColorRole::white}, TextWeight::semibold,
                        12});
    m_secondary->setText(m_content.secondaryLabel);
    m_secondary->setLook({QString(), Tint{ColorRole::controlBackground}, Tint{ColorRole::secondary},
                          TextWeight::medium, 10});
    update();
}

void MeetingAlertBanner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
    painter.fillPath(card, palette().color(QPalette::Window));
    painter.setPen(QPen(Style::color(m_content.tint.role, 0.3), 1));
    painter.drawPath(card);
}

void MeetingAlertBanner::changeEvent(QEvent* event)
{
    // Colours follow the palette (light or dark).
    if (event->type() == QEvent::PaletteChange)
        refresh();
    QWidget::changeEvent(event);
}
