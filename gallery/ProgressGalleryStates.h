#pragma once

#include "GalleryScene.h"

#include <QList>

// Long work as the user sees it: a cut, a merge, a transcription and an
// enhancement under way with their figures, and the model downloads under
// way and failed.
QList<GalleryState> progressGalleryStates();
