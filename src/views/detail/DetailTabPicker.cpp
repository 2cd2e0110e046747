#include "views/detail/DetailTabPicker.h"

#include "views/common/Accessibility.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

namespace {

struct Option {
    DetailViewTab tab;
    const char* label;
    const char* symbol;
};

constexpr Option options[] = {
    {DetailViewTab::waveform, "Audio", "waveform"},
    {DetailViewTab::transcript, "Transcript", "doc.text"},
    {DetailViewTab::recap, "Recap", "text.badge.checkmark"},
};

} // namespace

DetailTabPicker::DetailTabPicker(QWidget* parent)
    : QWidget(parent)
    , m_group(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("detailTabPicker"));
    setMinimumWidth(260);
    setMaximumWidth(360);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    Accessibility::markTabList(this);
    for (const Option& option : options) {
        auto* button = new QToolButton;
        button->setObjectName(QStringLiteral("tab_") + DetailViewTabs::id(option.tab));
        button->setText(QString::fromLatin1(option.label));
        button->setIcon(Icons::icon(QString::fromLatin1(option.symbol), Tint{ColorRole::primary, 1.0}));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setCheckable(true);
        button->setAutoRaise(false);
        button->setFont(Style::font(12));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        Accessibility::markTab(button);
        m_group->addButton(button, int(option.tab));
        row->addWidget(button);
    }
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::idClicked, this, [this](int id) { Q_EMIT tabChosen(DetailViewTab(id)); });
}

void DetailTabPicker::setTab(DetailViewTab tab)
{
    if (QAbstractButton* chosen = m_group->button(int(tab)))
        chosen->setChecked(true);
}

DetailViewTab DetailTabPicker::tab() const
{
    return DetailViewTab(m_group->checkedId());
}

QToolButton* DetailTabPicker::button(DetailViewTab tab) const
{
    return static_cast<QToolButton*>(m_group->button(int(tab)));
}
