#include "views/detail/DetailHeader.h"

#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/TrimSession.h"
#include "views/common/ActivitySpinner.h"
#include "views/detail/PaneLabels.h"
#include "views/detail/RoundedPanel.h"
#include "views/detail/SegmentButton.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace {

QLabel* symbolLabel(const QString& name, int size, const QColor& color, qreal ratio)
{
    auto* label = new QLabel;
    label->setPixmap(Icons::pixmap(name, size, color, ratio));
    return label;
}

// A badge on a capsule of its colour at 12 %.
RoundedPanel* capsule(ColorRole color, int paddingY)
{
    auto* badge = new RoundedPanel(Tint{color, 0.12}, 100);
    auto* row = new QHBoxLayout(badge);
    row->setContentsMargins(10, paddingY, 10, paddingY);
    row->setSpacing(5);
    return badge;
}

QPushButton* smallButton(const QString& text, const QString& symbol, const QColor& color, qreal ratio)
{
    auto* button = new QPushButton(text);
    button->setFont(Style::font(12, TextWeight::medium));
    button->setIcon(QIcon(Icons::pixmap(symbol, 11, color, ratio)));
    QPalette p = button->palette();
    p.setColor(QPalette::ButtonText, color);
    button->setPalette(p);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

DetailHeader::DetailHeader(LibraryViewModel& library, ProcessingRuns& processing, TrimSession& trim, QWidget* parent)
    : QWidget(parent)
    , m_library(library)
    , m_processing(processing)
    , m_trimSession(trim)
{
    setObjectName(QStringLiteral("detailHeader"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    m_trimming = buildTrimmingForm();
    m_normal = buildNormalForm();
    row->addWidget(m_trimming);
    row->addWidget(m_normal);
}

QWidget* DetailHeader::buildTrimmingForm()
{
    auto* form = new QWidget;
    form->setObjectName(QStringLiteral("trimmingForm"));
    auto* row = new QHBoxLayout(form);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    const QColor orange = Style::color(ColorRole::orange);
    RoundedPanel* badge = capsule(ColorRole::orange, 4);
    badge->layout()->addWidget(symbolLabel(QStringLiteral("scissors"), 11, orange, devicePixelRatioF()));
    badge->layout()->addWidget(
        PaneLabels::plain(QStringLiteral("Trimming Mode"), Style::font(12, TextWeight::bold), orange));
    row->addWidget(badge);

    m_done = new QPushButton(QStringLiteral("Done"));
    m_done->setObjectName(QStringLiteral("trimDoneButton"));
    m_done->setFont(Style::font(12));
    connect(m_done, &QPushButton::clicked, this, [this] { m_trimSession.cancelTrimming(); });
    row->addWidget(m_done);
    return form;
}

QWidget* DetailHeader::buildNormalForm()
{
    auto* form = new QWidget;
    form->setObjectName(QStringLiteral("normalForm"));
    auto* row = new QHBoxLayout(form);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    // Original / Enhanced.
    auto* switchPanel = new RoundedPanel({}, 7);
    switchPanel->setObjectName(QStringLiteral("enhancedSwitch"));
    switchPanel->setPaletteFill(QPalette::Base, 1.0);
    auto* segments = new QHBoxLayout(switchPanel);
    segments->setContentsMargins(2, 2, 2, 2);
    segments->setSpacing(2);
    m_original = new SegmentButton(QStringLiteral("Original"), QString(), ColorRole::accent);
    m_original->setObjectName(QStringLiteral("originalSegment"));
    m_enhanced = new SegmentButton(QStringLiteral("Enhanced"), QStringLiteral("sparkles"), ColorRole::purple);
    m_enhanced->setObjectName(QStringLiteral("enhancedSegment"));
    segments->addWidget(m_original);
    segments->addWidget(m_enhanced);
    connect(m_original, &QAbstractButton::clicked, this, [this] { m_library.setPlayingEnhanced(false); });
    connect(m_enhanced, &QAbstractButton::clicked, this, [this] { m_library.setPlayingEnhanced(true); });
    m_switch = switchPanel;
    row->addWidget(m_switch);

    // Enhancement under way.
    const QColor purple = Style::color(ColorRole::purple);
    RoundedPanel* badge = capsule(ColorRole::purple, 5);
    badge->setObjectName(QStringLiteral("enhancingBadge"));
    auto* spinner = new ActivitySpinner(12);
    spinner->setColor(purple);
    badge->layout()->addWidget(spinner);
    m_enhancingText = PaneLabels::plain(QStringLiteral("Enhancing Voice..."), Style::font(11, TextWeight::semibold), purple);
    m_enhancingText->setObjectName(QStringLiteral("enhancingText"));
    badge->layout()->addWidget(m_enhancingText);
    // The run stops from where its progress shows.
    m_cancelEnhancing = new QToolButton;
    m_cancelEnhancing->setObjectName(QStringLiteral("cancelEnhancementButton"));
    m_cancelEnhancing->setIcon(QIcon(Icons::pixmap(QStringLiteral("xmark"), 9, purple, devicePixelRatioF())));
    m_cancelEnhancing->setToolTip(QStringLiteral("Cancel Enhancement"));
    m_cancelEnhancing->setAutoRaise(true);
    m_cancelEnhancing->setCursor(Qt::PointingHandCursor);
    m_cancelEnhancing->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
    badge->layout()->addWidget(m_cancelEnhancing);
    connect(m_cancelEnhancing, &QToolButton::clicked, this, [this] {
        if (m_item)
            m_processing.cancelEnhancement(*m_item);
    });
    connect(&m_processing, &ProcessingRuns::enhancementProgressChanged, this, &DetailHeader::refreshEnhancingText);
    m_enhancing = badge;
    row->addWidget(m_enhancing);

    m_enhance = smallButton(QStringLiteral("Enhance Voice"), QStringLiteral("sparkles"), purple, devicePixelRatioF());
    m_enhance->setObjectName(QStringLiteral("enhanceButton"));
    m_enhance->setToolTip(QStringLiteral("Enhance voice with AI broadcast mastering and noise reduction"));
    connect(m_enhance, &QPushButton::clicked, this, [this] {
        if (m_item)
            m_processing.enhanceRecording(*m_item);
    });
    row->addWidget(m_enhance);

    m_trim = smallButton(QStringLiteral("Trim"), QStringLiteral("scissors"),
                         Style::color(ColorRole::primary), devicePixelRatioF());
    m_trim->setObjectName(QStringLiteral("trimButton"));
    m_trim->setToolTip(QStringLiteral("Crop and trim this recording"));
    connect(m_trim, &QPushButton::clicked, this, [this] {
        if (m_item)
            m_trimSession.startTrimming(*m_item);
    });
    row->addWidget(m_trim);
    return form;
}

void DetailHeader::present(const DetailAreaRules::Layout& layout, const std::optional<RecordingItem>& item,
                        bool isPlayingEnhanced)
{
    using DetailAreaRules::EnhancementSlot;
    using DetailAreaRules::Header;
    m_item = item;
    setVisible(layout.header != Header::none);
    m_trimming->setVisible(layout.header == Header::trimming);
    m_normal->setVisible(layout.header == Header::normal);
    m_switch->setVisible(layout.enhancementSlot == EnhancementSlot::originalEnhancedSwitch);
    m_enhancing->setVisible(layout.enhancementSlot == EnhancementSlot::enhancingBadge);
    m_enhance->setVisible(layout.enhancementSlot == EnhancementSlot::enhanceButton);
    m_original->setSelected(!isPlayingEnhanced);
    m_enhanced->setSelected(isPlayingEnhanced);
    refreshEnhancingText();
}

void DetailHeader::refreshEnhancingText()
{
    const auto& progress = m_processing.enhancementProgress();
    const auto percent = m_item ? progress.constFind(m_item->id) : progress.constEnd();
    m_enhancingText->setText(percent != progress.constEnd() ? QStringLiteral("Enhancing Voice... %1%").arg(*percent)
                                                            : QStringLiteral("Enhancing Voice..."));
}
