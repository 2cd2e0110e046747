#include "views/detail/RecapFormatSection.h"

#include "viewmodels/RecorderViewModel.h"
#include "views/detail/FormatChip.h"
#include "views/detail/PaneLabels.h"
#include "views/detail/RoundedPanel.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

RecapFormatSection::RecapFormatSection(RecorderViewModel& recorder, QWidget* parent)
    : QWidget(parent)
    , m_recorder(recorder)
{
    setObjectName(QStringLiteral("recapFormatSection"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(32, 4, 32, 0);
    auto* panel = new RoundedPanel({}, 10);
    panel->setPaletteFill(QPalette::Base, 0.75);
    outer->addWidget(panel);

    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(18, 12, 18, 12);
    column->setSpacing(10);

    auto* header = new QHBoxLayout;
    auto* sparkles = new QLabel;
    sparkles->setPixmap(
        Icons::pixmap(QStringLiteral("sparkles"), 13, Style::color(ColorRole::accent), devicePixelRatioF()));
    header->addWidget(sparkles);
    QFont caption = Style::font(11, TextWeight::bold);
    caption.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    header->addWidget(PaneLabels::plain(QStringLiteral("RECAP FORMAT"), caption, Style::color(ColorRole::secondary)));
    header->addStretch(1);
    m_typeName = PaneLabels::plain(QString(), Style::font(11, TextWeight::semibold), Style::color(ColorRole::accent));
    m_typeName->setObjectName(QStringLiteral("recapFormatTypeName"));
    header->addWidget(m_typeName);
    column->addLayout(header);

    auto* chips = new QHBoxLayout;
    chips->setSpacing(8);
    chips->addStretch(1);
    for (RecordingType type : RecordingTypes::allCases()) {
        auto* chip = new FormatChip(type);
        chip->setObjectName(QStringLiteral("formatChip_") + RecordingTypes::rawValue(type));
        connect(chip, &QAbstractButton::clicked, this, [this, type] { m_recorder.setActiveRecordingType(type); });
        m_chips.append(chip);
        chips->addWidget(chip);
    }
    chips->addStretch(1);
    column->addLayout(chips);

    m_description = PaneLabels::plain(QString(), Style::font(11), Style::color(ColorRole::secondary));
    m_description->setObjectName(QStringLiteral("recapFormatDescription"));
    m_description->setAlignment(Qt::AlignCenter);
    m_description->setWordWrap(true);
    m_description->setMaximumWidth(460);
    auto* descriptionRow = new QHBoxLayout;
    descriptionRow->addStretch(1);
    descriptionRow->addWidget(m_description, 100);
    descriptionRow->addStretch(1);
    column->addLayout(descriptionRow);

    connect(&m_recorder, &RecorderViewModel::activeRecordingTypeChanged, this, &RecapFormatSection::refresh);
    refresh();
}

void RecapFormatSection::refresh()
{
    const RecordingType active = m_recorder.activeRecordingType();
    for (FormatChip* chip : m_chips)
        chip->setSelected(chip->type() == active);
    m_typeName->setText(RecordingTypes::displayName(active));
    m_description->setText(RecordingTypes::description(active));
}
