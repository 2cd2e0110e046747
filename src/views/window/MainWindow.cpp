#include "views/window/MainWindow.h"

#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "viewmodels/StatusLine.h"
#include "views/common/FocusRelease.h"
#include "views/common/FocusRing.h"
#include "views/common/PlainButton.h"
#include "views/detail/WaveformVisualizerView.h"
#include "views/sidebar/SearchBox.h"
#include "views/sidebar/SidebarView.h"
#include "views/sourcebar/SourceControlBar.h"
#include "views/transport/TransportControlsView.h"
#include "views/window/MeetingAlertBanners.h"
#include "views/window/SpaceKeyFilter.h"
#include "views/window/StatusMessageView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

constexpr int windowMinimumWidth = 960;
constexpr int windowMinimumHeight = 560;
constexpr int sidebarMinimumWidth = 220;
constexpr int sidebarIdealWidth = 260;
constexpr int sidebarMaximumWidth = 360;
constexpr int detailMinimumWidth = 550;
constexpr int overlayTop = 56;
constexpr int overlaySpacing = 8;
constexpr int menuButtonSymbolSize = 18;
constexpr int menuButtonMargin = 8;

} // namespace

MainWindow::MainWindow(RecordingViewModel& vm, QWidget* parent)
    : QWidget(parent)
    , m_vm(vm)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Nimbrel"));
    setMinimumSize(windowMinimumWidth, windowMinimumHeight);
    resize(1080, 680);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_sourceBarSlot = new QWidget(this);
    m_sourceBarSlot->setObjectName(QStringLiteral("sourceControlBarSlot"));
    m_sourceBarSlot->setLayout(new QVBoxLayout);
    m_sourceBarSlot->layout()->setContentsMargins(0, 0, 0, 0);
    m_sourceBar = new SourceControlBar(vm.recorder(), m_sourceBarSlot);
    m_sourceBarSlot->layout()->addWidget(m_sourceBar);
    // The menu button sits at the right end of the top row, where desktop
    // apps without a menu bar keep theirs.
    auto* topRow = new QHBoxLayout;
    topRow->setContentsMargins(0, 0, menuButtonMargin, 0);
    topRow->setSpacing(0);
    topRow->addWidget(m_sourceBarSlot, 1);
    m_appMenu = new QMenu(this);
    m_appMenu->setObjectName(QStringLiteral("appMenu"));
    m_menuButton = new PlainButton(QStringLiteral("line.3.horizontal"), menuButtonSymbolSize,
                                   Tint{ColorRole::secondary}, QStringLiteral("Main Menu"), this);
    m_menuButton->setObjectName(QStringLiteral("menuButton"));
    m_menuButton->setMenu(m_appMenu);
    m_menuButton->setPopupMode(QToolButton::InstantPopup);
    topRow->addWidget(m_menuButton, 0, Qt::AlignVCenter);
    column->addLayout(topRow);

    auto* divider = new QFrame(this);
    divider->setObjectName(QStringLiteral("divider"));
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Plain);
    divider->setFixedHeight(1);
    column->addWidget(divider);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setHandleWidth(1);
    m_sidebar = new SidebarView(vm, m_splitter);
    m_sidebar->setMinimumWidth(sidebarMinimumWidth);
    m_sidebar->setMaximumWidth(sidebarMaximumWidth);
    m_detail = new WaveformVisualizerView(vm, m_splitter);
    m_detail->setMinimumWidth(detailMinimumWidth);
    m_splitter->addWidget(m_sidebar);
    m_splitter->addWidget(m_detail);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({sidebarIdealWidth, width() - sidebarIdealWidth});
    column->addWidget(m_splitter, 1);

    m_transport = new TransportControlsView(vm.library(), vm.recorder(), vm.playerManager(), this);
    column->addWidget(m_transport);

    // Floating over the content, near the top edge.
    m_banners = new MeetingAlertBanners(vm, this);
    connect(m_banners, &MeetingAlertBanners::layoutChanged, this, &MainWindow::placeOverlay);
    m_status = new StatusMessageView(this);
    const auto showStatus = [this] {
        m_status->setMessage(m_vm.status().exportMessage().value_or(QString()));
        placeOverlay();
    };
    connect(&m_vm.status(), &StatusLine::exportMessageChanged, this, showStatus);
    // One set while the view model was made (what the library's load set
    // aside or could not read) shows too.
    if (m_vm.status().exportMessage())
        showStatus();

    m_spaceKeys = new SpaceKeyFilter(vm, this);
    installKeys();
    new FocusRing(this);
}

void MainWindow::installKeys()
{
    const auto bind = [this](const QKeySequence& keys, auto slot) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    // Text fields claim Delete for themselves, so it deletes a recording only
    // where no one types.
    bind(QKeySequence(Qt::Key_F2), [this] { m_sidebar->renameSelection(); });
    bind(QKeySequence(Qt::Key_Delete), [this] { m_sidebar->deleteSelection(); });
    bind(QKeySequence::Find, [this] { m_sidebar->focusSearch(); });
    bind(QKeySequence(Qt::SHIFT | Qt::Key_F10), [this] { contextMenuKey(); });
}

void MainWindow::contextMenuKey()
{
    QWidget* target = focusWidget();
    if (!target || !target->isVisible())
        target = this;
    const QPoint centre = target->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, centre, target->mapToGlobal(centre));
    QApplication::sendEvent(target, &event);
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event)
{
    // The Menu key where no control has a menu of its own: the selected row's.
    if (event->reason() == QContextMenuEvent::Keyboard && m_sidebar->openSelectionMenu()) {
        event->accept();
        return;
    }
    event->ignore();
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
}

void MainWindow::placeOverlay()
{
    m_status->placeAt(m_banners->place(overlayTop, overlaySpacing));
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeOverlay();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_spaceKeys->install();
    qApp->installEventFilter(this);
}

void MainWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_spaceKeys->remove();
    qApp->removeEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A window coming to the front with nothing focused hands the keyboard
    // to its first control by itself. The keyboard stays free instead, so
    // Space plays; the search field follows its own rule.
    if (watched == this && event->type() == QEvent::WindowActivate)
        m_activatedWithFocus = focusWidget() != nullptr;
    if (event->type() == QEvent::FocusIn && watched->isWidgetType() && !m_activatedWithFocus
        && static_cast<QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason) {
        auto* widget = static_cast<QWidget*>(watched);
        if (isAncestorOf(widget) && widget != m_sidebar->searchBox()->field())
            QMetaObject::invokeMethod(widget, [widget] { widget->clearFocus(); }, Qt::QueuedConnection);
    }
    // A click anywhere in the detail area, seen beside the panes' own handling.
    if (event->type() == QEvent::MouseButtonRelease && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && (widget == m_detail || m_detail->isAncestorOf(widget)))
            detailClicked();
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::detailClicked()
{
    m_sidebar->releaseSearchFocus();
    FocusRelease::schedule(this);
}
