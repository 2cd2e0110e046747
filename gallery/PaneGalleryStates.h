#pragma once

#include "GalleryScene.h"

#include <QList>

// The detail panes' states for the gallery: the audio, live, transcript and
// recap panes and each of the recap's cards.
QList<GalleryState> paneGalleryStates();
