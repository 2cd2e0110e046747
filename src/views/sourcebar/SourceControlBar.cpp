#include "views/sourcebar/SourceControlBar.h"

#include "audio/SystemAudioPermission.h"
#include "engines/speech/WhisperEngine.h"
#include "services/updates/UpdateManager.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/collaborators/DeviceService.h"
#include "views/badges/UpdateStatusBadge.h"
#include "views/badges/WhisperStatusBadge.h"
#include "views/detail/RoundedPanel.h"
#include "views/sourcebar/EchoGuardButton.h"
#include "views/sourcebar/GainControl.h"
#include "views/sourcebar/LevelMeterView.h"
#include "views/sourcebar/MicrophonePicker.h"
#include "views/sourcebar/SourceBadgeView.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QSignalBlocker>

#include <algorithm>

using namespace SourceBarRules;

namespace {

constexpr int verticalPadding = 8;
constexpr int groupVerticalPadding = 6;
constexpr double groupCornerRadius = 8;
constexpr int meterHeight = 9;
constexpr int dividerHeight = 22;
constexpr int flexibleSpaceMinimum = 8;
constexpr int toggleIconSize = 14;

QCheckBox* makeToggle(const QString& objectName, QWidget* parent)
{
    auto* toggle = new QCheckBox(parent);
    toggle->setObjectName(objectName);
    toggle->setFont(Style::font(13, TextWeight::medium));
    toggle->setIconSize(QSize(toggleIconSize, toggleIconSize));
    toggle->setFocusPolicy(Qt::TabFocus);
    toggle->setCursor(Qt::PointingHandCursor);
    return toggle;
}

RoundedPanel* makeGroup(const QString& objectName, QWidget* parent)
{
    auto* group = new RoundedPanel({ColorRole::controlBackground}, groupCornerRadius, parent);
    group->setObjectName(objectName);
    // As wide as its controls, narrower only when the bar is short of room.
    group->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(group);
    row->setSizeConstraint(QLayout::SetNoConstraint);
    return group;
}

QHBoxLayout* rowOf(QWidget* group)
{
    return static_cast<QHBoxLayout*>(group->layout());
}

} // namespace

SourceControlBar::SourceControlBar(RecorderViewModel& recorder, QWidget* parent)
    : SourceControlBar(recorder, Services{}, parent)
{
}

SourceControlBar::SourceControlBar(RecorderViewModel& recorder, Services services, QWidget* parent)
    : QWidget(parent)
    , m_recorder(recorder)
    , m_permissionAccess(services.permission ? *services.permission : SystemAudioPermission::shared())
{
    setObjectName(QStringLiteral("sourceControlBar"));
    // The window decides the width; the bar fits itself into it.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    m_row = new QHBoxLayout(this);
    m_row->setSizeConstraint(QLayout::SetNoConstraint);

    buildMicrophoneGroup();
    m_row->addWidget(m_micGroup);

    m_divider = new QFrame(this);
    m_divider->setObjectName(QStringLiteral("sourceDivider"));
    m_divider->setFrameShape(QFrame::VLine);
    m_divider->setFrameShadow(QFrame::Plain);
    m_divider->setFixedSize(1, dividerHeight);
    QPalette dividerPalette = m_divider->palette();
    dividerPalette.setColor(QPalette::WindowText, Style::color(ColorRole::gray, 0.35));
    m_divider->setPalette(dividerPalette);
    m_row->addWidget(m_divider);

    buildSystemGroup();
    m_row->addWidget(m_systemGroup);

    m_echoGuard = new EchoGuardButton(this);
    m_row->addWidget(m_echoGuard);

    m_row->addSpacerItem(new QSpacerItem(flexibleSpaceMinimum, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));

    // Each hides itself while it has nothing to say (an idle updater, a ready model).
    const bool compact = metrics(widthClass()).compactBadges;
    m_updateBadge = new UpdateStatusBadge(services.updater ? *services.updater : UpdateManager::shared(), compact, this);
    m_row->addWidget(m_updateBadge);
    m_whisperBadge = new WhisperStatusBadge(services.whisper ? *services.whisper : WhisperEngine::shared(), compact, this);
    m_row->addWidget(m_whisperBadge);

    m_sourceBadge = new SourceBadgeView(this);
    m_row->addWidget(m_sourceBadge);

    connectViewModel();
    showMicrophones();
    showSources();
    applyWidthClass();
}

void SourceControlBar::buildMicrophoneGroup()
{
    m_micGroup = makeGroup(QStringLiteral("microphoneGroup"), this);
    QHBoxLayout* row = rowOf(m_micGroup);

    m_micToggle = makeToggle(QStringLiteral("microphoneToggle"), m_micGroup);
    row->addWidget(m_micToggle);

    m_micPicker = new MicrophonePicker(m_micGroup);
    m_micPicker->setObjectName(QStringLiteral("microphonePicker"));
    m_micPicker->setFont(Style::font(11));
    m_micPicker->setFocusPolicy(Qt::TabFocus);
    row->addWidget(m_micPicker);

    m_micGain = new GainControl(QStringLiteral("speaker.wave.1"), micGainMaximum, &micGainTooltip, m_micGroup);
    m_micGain->setObjectName(QStringLiteral("microphoneGain"));
    row->addWidget(m_micGain);

    m_micMeter = new LevelMeterView(m_micGroup);
    m_micMeter->setObjectName(QStringLiteral("microphoneMeter"));
    row->addWidget(m_micMeter);
}

void SourceControlBar::buildSystemGroup()
{
    m_systemGroup = makeGroup(QStringLiteral("systemAudioGroup"), this);
    QHBoxLayout* row = rowOf(m_systemGroup);

    m_systemToggle = makeToggle(QStringLiteral("systemAudioToggle"), m_systemGroup);
    row->addWidget(m_systemToggle);

    m_internalMix = new QLabel(QStringLiteral("(Internal Mix)"), m_systemGroup);
    m_internalMix->setObjectName(QStringLiteral("internalMixNote"));
    m_internalMix->setFont(Style::font(11));
    QPalette secondary = m_internalMix->palette();
    secondary.setColor(QPalette::WindowText, Style::color(ColorRole::secondary));
    m_internalMix->setPalette(secondary);
    row->addWidget(m_internalMix);

    m_systemGain
        = new GainControl(QStringLiteral("speaker.wave.2"), systemGainMaximum, &systemGainTooltip, m_systemGroup);
    m_systemGain->setObjectName(QStringLiteral("systemAudioGain"));
    row->addWidget(m_systemGain);

    m_systemMeter = new LevelMeterView(m_systemGroup);
    m_systemMeter->setObjectName(QStringLiteral("systemAudioMeter"));
    row->addWidget(m_systemMeter);

    m_permission = new QPushButton(QStringLiteral("Grant Permission"), m_systemGroup);
    m_permission->setObjectName(QStringLiteral("grantPermissionButton"));
    m_permission->setIcon(Icons::icon(QStringLiteral("exclamationmark.triangle.fill"), Style::color(ColorRole::white)));
    m_permission->setIconSize(QSize(11, 11));
    m_permission->setFont(Style::font(11, TextWeight::semibold));
    m_permission->setFocusPolicy(Qt::TabFocus);
    m_permission->setCursor(Qt::PointingHandCursor);
    m_permission->setStyleSheet(QStringLiteral("QPushButton { color: white; background: %1; border: none;"
                                               " border-radius: 5px; padding: 3px 8px; }")
                                    .arg(Style::css(Style::color(ColorRole::orange))));
    row->addWidget(m_permission);
}

void SourceControlBar::connectViewModel()
{
    connect(m_micToggle, &QCheckBox::clicked, this, [this](bool checked) { m_recorder.setIsMicEnabled(checked); });
    connect(m_systemToggle, &QCheckBox::clicked, this,
            [this](bool checked) { m_recorder.setIsSystemAudioEnabled(checked); });
    connect(m_micPicker, &QComboBox::activated, this,
            [this](int index) { m_recorder.setSelectedMicID(m_micPicker->itemData(index).toString()); });
    connect(m_micGain, &GainControl::gainChosen, this, [this](float gain) { m_recorder.setMicVolume(gain); });
    connect(m_systemGain, &GainControl::gainChosen, this, [this](float gain) { m_recorder.setSysVolume(gain); });
    connect(m_echoGuard, &QAbstractButton::clicked, this,
            [this] { m_recorder.setIsEchoGuardEnabled(!m_recorder.isEchoGuardEnabled()); });
    connect(m_permission, &QPushButton::clicked, this, [this] {
        m_permissionAccess.request();
        m_recorder.setShowPermissionBanner(!m_permissionAccess.isGranted());
    });

    for (auto signal : {&RecorderViewModel::isMicEnabledChanged, &RecorderViewModel::isSystemAudioEnabledChanged,
                        &RecorderViewModel::micVolumeChanged, &RecorderViewModel::sysVolumeChanged,
                        &RecorderViewModel::isEchoGuardEnabledChanged,
                        &RecorderViewModel::showPermissionBannerChanged})
        connect(&m_recorder, signal, this, &SourceControlBar::showSources);
    connect(&m_recorder, &RecorderViewModel::micLevelChanged, this,
            [this] { m_micMeter->setLevel(m_recorder.micLevel()); });
    connect(&m_recorder, &RecorderViewModel::sysLevelChanged, this,
            [this] { m_systemMeter->setLevel(m_recorder.sysLevel()); });
    connect(&m_recorder, &RecorderViewModel::deviceManagerChanged, this, &SourceControlBar::showMicrophones);
    connect(&m_recorder, &RecorderViewModel::selectedMicIDChanged, this, &SourceControlBar::showMicSelection);
}

QComboBox* SourceControlBar::micPicker() const
{
    return m_micPicker;
}

SourceBarRules::WidthClass SourceControlBar::widthClass() const
{
    return SourceBarRules::widthClass(m_barWidth);
}

bool SourceControlBar::compactBadges() const
{
    return metrics(widthClass()).compactBadges;
}

void SourceControlBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const WidthClass before = widthClass();
    m_barWidth = event->size().width();
    m_measured = true;
    if (widthClass() != before) {
        applyWidthClass();
        Q_EMIT widthClassChanged();
    }
    fitToWidth();
}

bool SourceControlBar::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    // A piece that appeared, went or changed its size (a badge, a source, a
    // device name) may leave the row too long or give room back.
    if (event->type() == QEvent::LayoutRequest)
        fitToWidth();
    return handled;
}

void SourceControlBar::fitToWidth()
{
    if (!m_measured)
        return;
    // When the class's controls want more room than the bar has, the
    // "(Internal Mix)" note goes first, then the gains' percentages; only
    // then may the device picker narrow below the class's width for it,
    // rather than one control being drawn over the next.
    const Metrics m = metrics(widthClass());
    const bool mixShown = m_recorder.isSystemAudioEnabled() && m.showsInternalMix;
    const int mixWidth = mixShown ? m_internalMix->minimumSizeHint().width() + m.groupSpacing : 0;
    int percentagesWidth = 0;
    if (m.showsPercentage)
        for (GainControl* gain : {m_micGain, m_systemGain})
            if (!gain->isHidden())
                percentagesWidth += gain->percentageWidth();
    const int pickerWidth
        = m_micPicker->isHidden() ? 0 : m_micPicker->rangeMinimum() - m_micPicker->narrowedMinimum();
    // The row's least width with everything of the class shown.
    int needed = m_row->minimumSize().width();
    if (m_fitHidesInternalMix)
        needed += mixWidth;
    if (m_fitHidesPercentages)
        needed += percentagesWidth;
    if (m_micPicker->isNarrowingAllowed())
        needed += pickerWidth;
    const bool hideMix = needed > width();
    const bool hidePercentages = needed - mixWidth > width();
    const bool narrowPicker = needed - mixWidth - percentagesWidth > width();
    if (hideMix == m_fitHidesInternalMix && hidePercentages == m_fitHidesPercentages
        && narrowPicker == m_micPicker->isNarrowingAllowed())
        return;
    m_fitHidesInternalMix = hideMix;
    m_fitHidesPercentages = hidePercentages;
    m_micPicker->setNarrowingAllowed(narrowPicker);
    showFittedParts(m);
}

void SourceControlBar::showFittedParts(const Metrics& m)
{
    m_internalMix->setVisible(m_recorder.isSystemAudioEnabled() && m.showsInternalMix && !m_fitHidesInternalMix);
    for (GainControl* gain : {m_micGain, m_systemGain})
        gain->setPercentageShown(m.showsPercentage && !m_fitHidesPercentages);
}

void SourceControlBar::applyWidthClass()
{
    const Metrics m = metrics(widthClass());
    m_row->setSpacing(m.barSpacing);
    m_row->setContentsMargins(m.barPadding, verticalPadding, m.barPadding, verticalPadding);
    for (RoundedPanel* group : {m_micGroup, m_systemGroup}) {
        rowOf(group)->setSpacing(m.groupSpacing);
        rowOf(group)->setContentsMargins(m.groupPadding, groupVerticalPadding, m.groupPadding, groupVerticalPadding);
    }
    m_micToggle->setText(m.micLabel);
    m_systemToggle->setText(m.systemLabel);
    m_micPicker->setWidthRange(m.pickerMinWidth, m.pickerMaxWidth);
    for (GainControl* gain : {m_micGain, m_systemGain})
        gain->setSliderWidth(m.sliderWidth);
    for (LevelMeterView* meter : {m_micMeter, m_systemMeter})
        meter->setFixedSize(m.meterWidth, meterHeight);
    m_echoGuard->setLabel(m.echoGuardLabel, m.echoGuardPadding);
    m_updateBadge->setCompact(m.compactBadges);
    m_whisperBadge->setCompact(m.compactBadges);
    m_sourceBadge->setDotOnly(m.sourceBadgeAsDot);
    showSources();
}

void SourceControlBar::showToggle(QCheckBox* toggle, const SourceToggleLook& look, bool checked)
{
    const QSignalBlocker blocker(toggle);
    toggle->setChecked(checked);
    toggle->setIcon(Icons::icon(look.symbol, Style::color(look.iconColor)));
}

void SourceControlBar::showSources()
{
    const bool mic = m_recorder.isMicEnabled();
    const bool system = m_recorder.isSystemAudioEnabled();
    const Metrics m = metrics(widthClass());

    showToggle(m_micToggle, SourceBarRules::micToggle(mic), mic);
    m_micPicker->setVisible(mic);
    m_micGain->setVisible(mic);
    m_micMeter->setVisible(mic);
    m_micGain->setGain(m_recorder.micVolume());
    m_micMeter->setActive(mic);
    m_micMeter->setLevel(m_recorder.micLevel());

    showToggle(m_systemToggle, SourceBarRules::systemToggle(system), system);
    m_systemGain->setVisible(system);
    m_systemMeter->setVisible(system);
    m_systemGain->setGain(m_recorder.sysVolume());
    m_systemMeter->setActive(system);
    m_systemMeter->setLevel(m_recorder.sysLevel());
    m_permission->setVisible(showsPermissionButton(m_recorder.showPermissionBanner(), system));
    showFittedParts(m);

    m_echoGuard->setVisible(showsEchoGuard(mic, system));
    m_echoGuard->setGuardOn(m_recorder.isEchoGuardEnabled());

    const SourceBadge badge
        = SourceBarRules::sourceBadge(mic, system, m_recorder.deviceManager().isSoundServerReachable());
    m_sourceBadge->setBadge(badge.text, badge.color);
}

void SourceControlBar::showMicrophones()
{
    const QSignalBlocker blocker(m_micPicker);
    m_micPicker->clear();
    const DeviceService& devices = m_recorder.deviceManager();
    for (const PickerRow& row : micPickerRows(devices.availableMics(), devices.isSoundServerReachable()))
        m_micPicker->addItem(row.name, row.id);
    showMicSelection();
    // The source badge tells of a missing sound server too.
    showSources();
}

void SourceControlBar::showMicSelection()
{
    const QSignalBlocker blocker(m_micPicker);
    int index = m_micPicker->findData(m_recorder.selectedMicID());
    // Without a server its one row says so, whatever was chosen before.
    if (index < 0 && !m_recorder.deviceManager().isSoundServerReachable())
        index = 0;
    m_micPicker->setCurrentIndex(index);
}

void SourceControlBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The under-page colour, a shade below the window's.
    painter.fillRect(rect(), palette().color(QPalette::Window).darker(104));
}
