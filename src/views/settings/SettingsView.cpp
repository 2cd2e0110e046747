#include "views/settings/SettingsView.h"

#include "common/Settings.h"
#include "models/AppVersion.h"
#include "services/meetings/MeetingDetector.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "views/common/Accessibility.h"
#include "views/common/FocusRing.h"
#include "views/settings/AiSection.h"
#include "views/settings/AudioSection.h"
#include "views/settings/BoundSettings.h"
#include "views/settings/DesktopSettingsServices.h"
#include "views/settings/GeneralSection.h"
#include "views/settings/SettingsForm.h"
#include "views/settings/SettingsTabButton.h"
#include "views/settings/StorageSection.h"
#include "views/style/Style.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

using SettingsRules::SettingsTab;

namespace {

constexpr int viewWidth = 540;
constexpr int viewHeight = 500;
constexpr int scrollMinimumHeight = 380;
constexpr int sectionPadding = 24;

// A strip painted in one palette colour across its whole width.
QWidget* makeStrip(QPalette::ColorRole fill, QWidget* parent)
{
    auto* strip = new QWidget(parent);
    strip->setAutoFillBackground(true);
    QPalette palette = strip->palette();
    palette.setColor(QPalette::Window, parent->palette().color(fill));
    strip->setPalette(palette);
    return strip;
}

} // namespace

SettingsView::SettingsView(RecordingViewModel& vm, QWidget* parent)
    : SettingsView(vm, Settings::shared(), nullptr, std::make_unique<DesktopSettingsServices>(MeetingDetector::shared()),
                   parent)
{
}

SettingsView::SettingsView(RecordingViewModel& vm, Settings& settings, SettingsServices& services, QWidget* parent)
    : SettingsView(vm, settings, &services, nullptr, parent)
{
}

SettingsView::SettingsView(RecordingViewModel& vm, Settings& settings, SettingsServices* services,
                           std::unique_ptr<SettingsServices> ownServices, QWidget* parent)
    : QWidget(parent)
    , m_vm(vm)
    , m_ownServices(std::move(ownServices))
    , m_services(services ? services : m_ownServices.get())
    , m_settings(new BoundSettings(settings, this))
{
    setObjectName(QStringLiteral("settingsView"));
    setFixedSize(viewWidth, viewHeight);
    build();
    selectTab(SettingsTab::general);
    new FocusRing(this);
    // Escape closes the window from anywhere in it, also when no control holds the keyboard.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &SettingsView::doneRequested);
}

SettingsView::~SettingsView() = default;

void SettingsView::build()
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(makeTabBar());
    column->addWidget(SettingsForm::makeDivider(this));

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("settingsScrollArea"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setMinimumHeight(scrollMinimumHeight);
    // Not a stop of its own: Tab goes to the controls and scrolls each into view.
    m_scroll->setFocusPolicy(Qt::NoFocus);
    // The cards stand out in the control colour on the window's own.
    m_scroll->viewport()->setBackgroundRole(QPalette::Window);
    column->addWidget(m_scroll, 1);

    column->addWidget(SettingsForm::makeDivider(this));
    column->addWidget(makeFooter());
}

QWidget* SettingsView::makeTabBar()
{
    QWidget* bar = makeStrip(QPalette::Base, this);
    bar->setObjectName(QStringLiteral("settingsTabBar"));
    Accessibility::markTabList(bar);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(16, 14, 16, 14);
    row->setSpacing(6);
    row->addStretch(1);
    for (SettingsTab tab : SettingsRules::allTabs()) {
        auto* button = new SettingsTabButton(SettingsRules::tabSymbol(tab), SettingsRules::rawValue(tab), bar);
        button->setObjectName(SettingsRules::rawValue(tab));
        connect(button, &QAbstractButton::clicked, this, [this, tab] { selectTab(tab); });
        m_tabButtons.insert(tab, button);
        row->addWidget(button, 0, Qt::AlignVCenter);
    }
    row->addStretch(1);
    return bar;
}

QWidget* SettingsView::makeFooter()
{
    QWidget* footer = makeStrip(QPalette::Window, this);
    footer->setObjectName(QStringLiteral("settingsFooter"));
    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(20, 12, 20, 12);
    QLabel* version = SettingsForm::makeLabel(AppVersion::settingsFooterString(), 11, true, footer);
    version->setObjectName(QStringLiteral("versionLine"));
    row->addWidget(version);
    row->addStretch(1);
    m_done = new QPushButton(QStringLiteral("Done"), footer);
    m_done->setObjectName(QStringLiteral("settingsDoneButton"));
    m_done->setDefault(true);
    connect(m_done, &QPushButton::clicked, this, &SettingsView::doneRequested);
    row->addWidget(m_done);
    return footer;
}

void SettingsView::selectTab(SettingsTab tab)
{
    m_selectedTab = tab;
    for (auto it = m_tabButtons.cbegin(); it != m_tabButtons.cend(); ++it)
        it.value()->setSelected(it.key() == tab);

    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("settingsPage"));
    page->setBackgroundRole(QPalette::Window);
    page->setAutoFillBackground(true);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(sectionPadding, sectionPadding, sectionPadding, sectionPadding);
    column->setSpacing(20);
    switch (tab) {
    case SettingsTab::general:
        m_section = new GeneralSection(*m_settings, *m_services, page);
        break;
    case SettingsTab::audio:
        m_section = new AudioSection(m_vm.recorder(), *m_settings, page);
        break;
    case SettingsTab::ai:
        m_section = new AiSection(m_vm.recorder(), *m_settings, page);
        break;
    case SettingsTab::storage:
        m_section = new StorageSection(m_vm.library(), *m_services, page);
        break;
    }
    column->addWidget(m_section);
    column->addStretch(1);
    // The previous page and its section go with the scroll area's old widget.
    m_scroll->setWidget(page);
}

void SettingsView::keyPressEvent(QKeyEvent* event)
{
    // Return reaches here only where no control took it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_done->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
