#pragma once

#include "GalleryScene.h"

#include <QList>

// The application's own windows and menus for the gallery: the tray menu
// while idle, recording and paused, the window's menu and the About panel.
QList<GalleryState> appGalleryStates();
