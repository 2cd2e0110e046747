#pragma once

#include "GalleryScene.h"

#include <QList>

// The application's own windows and menus for the gallery: the tray menu
// while idle and while recording, the window's menu, the About panel and
// the settings window.
QList<GalleryState> appGalleryStates();
