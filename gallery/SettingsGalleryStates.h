#pragma once

#include "GalleryScene.h"

#include <QList>

// The source bar in its three width classes and each tab of the settings
// window, for the gallery.
QList<GalleryState> settingsGalleryStates();
