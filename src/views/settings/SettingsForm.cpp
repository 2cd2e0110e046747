#include "views/settings/SettingsForm.h"

#include "views/detail/RoundedPanel.h"
#include "views/style/Style.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace SettingsForm {

namespace {

constexpr int cardPadding = 14;
constexpr int headerToCard = 10;
constexpr double cardCornerRadius = 8;
constexpr int helpLineIndent = 20;

} // namespace

QVBoxLayout* addGroup(QVBoxLayout* section, const QString& header, int rowSpacing)
{
    QWidget* owner = section->parentWidget();
    auto* group = new QWidget(owner);
    auto* column = new QVBoxLayout(group);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(headerToCard);
    auto* title = new QLabel(header, group);
    title->setFont(Style::font(14, TextWeight::semibold));
    column->addWidget(title);

    auto* card = new RoundedPanel({ColorRole::controlBackground}, cardCornerRadius, group);
    auto* rows = new QVBoxLayout(card);
    rows->setContentsMargins(cardPadding, cardPadding, cardPadding, cardPadding);
    rows->setSpacing(rowSpacing);
    column->addWidget(card);
    section->addWidget(group);
    return rows;
}

QCheckBox* makeSwitch(const QString& label, QWidget* parent)
{
    // "&" is a letter here, not the mark of a keyboard shortcut.
    auto* toggle = new QCheckBox(QString(label).replace(QLatin1Char('&'), QStringLiteral("&&")), parent);
    toggle->setFont(Style::font(13, TextWeight::medium));
    toggle->setCursor(Qt::PointingHandCursor);
    return toggle;
}

QLabel* makeHelpLine(const QString& text, QWidget* parent)
{
    QLabel* line = makeLabel(text, 11, true, parent);
    line->setWordWrap(true);
    line->setContentsMargins(helpLineIndent, 0, 0, 0);
    return line;
}

QFrame* makeDivider(QWidget* parent)
{
    auto* divider = new QFrame(parent);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Plain);
    divider->setFixedHeight(1);
    QPalette palette = divider->palette();
    palette.setColor(QPalette::WindowText, Style::color(ColorRole::gray, 0.3));
    divider->setPalette(palette);
    return divider;
}

QWidget* makePickerRow(const QString& label, QComboBox* picker, int pickerMaxWidth, QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(makeLabel(label, 13, false, row));
    line->addStretch(1);
    picker->setParent(row);
    picker->setMaximumWidth(pickerMaxWidth);
    picker->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    picker->setAccessibleName(label);
    line->addWidget(picker);
    return row;
}

QLabel* makeLabel(const QString& text, int size, bool secondary, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(Style::font(size));
    if (secondary) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Style::color(ColorRole::secondary));
        label->setPalette(palette);
    }
    return label;
}

} // namespace SettingsForm
