#include "AppGalleryStates.h"

#include "app/AboutPanel.h"
#include "app/AppCommands.h"
#include "app/MenuBarManager.h"
#include "app/SettingsWindowController.h"
#include "app/TrayIcons.h"
#include "common/Settings.h"
#include "views/window/MainWindow.h"

#include <QMenu>
#include <QPainter>
#include <QToolButton>

namespace {

// A menu as it shows when open, beside the tray icon it belongs to.
QPixmap trayMenuPicture(const TrayMenu::State& state)
{
    QMenu menu;
    MenuBarManager::fillMenu(menu, TrayMenu::entries(state), [](TrayMenu::Action) {});
    menu.ensurePolished();
    menu.adjustSize();
    const QPixmap items = menu.grab();
    const int iconSide = 22;
    QPixmap picture(items.width() + iconSide + 24, items.height() + iconSide + 16);
    picture.fill(QColor(0x30, 0x30, 0x30));
    QPainter painter(&picture);
    const QIcon icon = TrayIcons::icon(TrayMenu::button(state).look);
    painter.drawPixmap(picture.width() - iconSide - 8, 6, icon.pixmap(iconSide, iconSide));
    painter.drawPixmap(8, iconSide + 10, items);
    painter.setPen(Qt::white);
    painter.drawText(QRect(8, 6, picture.width() - iconSide - 24, iconSide), Qt::AlignRight | Qt::AlignVCenter,
                     TrayMenu::button(state).toolTip);
    return picture;
}

} // namespace

QList<GalleryState> appGalleryStates()
{
    return {
        {"tray-menu-idle",
         [](GalleryScene& scene) {
             scene.open();
             scene.showPicture(trayMenuPicture({RecorderState::idle, 0, true}));
         }},
        {"tray-menu-recording",
         [](GalleryScene& scene) {
             scene.open();
             scene.showPicture(trayMenuPicture({RecorderState::recording, 754.3, true}));
         }},
        {"tray-menu-paused",
         [](GalleryScene& scene) {
             scene.open();
             scene.showPicture(trayMenuPicture({RecorderState::paused, 125, false}));
         }},
        {"window-menu-open",
         [](GalleryScene& scene) {
             MainWindow& window = scene.open();
             static SettingsWindowController settingsWindow(Settings::shared());
             auto* commands = new AppCommands(settingsWindow, [] {}, &window);
             commands->install(*window.appMenu(), window);
             scene.settle();
             QMenu* menu = window.appMenu();
             menu->ensurePolished();
             menu->adjustSize();
             QPixmap picture = window.grab();
             QPainter painter(&picture);
             const QToolButton* button = window.menuButton();
             const QPoint below = button->mapTo(&window, QPoint(button->width(), button->height()));
             painter.drawPixmap(below.x() - menu->width(), below.y() + 2, menu->grab());
             scene.showPicture(picture);
         }},
        {"about-panel",
         [](GalleryScene& scene) {
             scene.open();
             AboutPanel* panel = AboutPanel::showPanel();
             scene.settle();
             scene.showPicture(panel->grab());
             panel->close();
         }},
    };
}
