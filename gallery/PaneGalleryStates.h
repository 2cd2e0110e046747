#pragma once

#include <QList>

#include <functional>

class GalleryScene;

// The detail panes' states for the gallery: the audio, live, transcript and
// recap panes and each of the recap's cards.
struct PaneGalleryState {
    const char* name;
    std::function<void(GalleryScene&)> arrange;
};

QList<PaneGalleryState> paneGalleryStates();
