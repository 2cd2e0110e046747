#pragma once

#include "ViewModelFixture.h"

#include "engines/speech/WhisperEngine.h"
#include "engines/recap/RecapEngine.h"
#include "views/detail/WaveformVisualizerView.h"

#include <QWidget>

#include <memory>

// The detail area over the view model's fakes, with engines of its own and
// animations off. The area is shown at a fixed size, as in the window.
class PaneFixture : public ViewModelFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the view model (seed the library first) and the detail area.
    WaveformVisualizerView& makeDetailArea();
    // A selected recording with a transcript made of `segments`.
    RecordingItem recordingWithSegments(const QStringList& segments);
    // Creates or removes the recap model file where the panes look for it.
    void setPaneRecapModelPresent(bool present);

    template <typename T>
    T* find(const QString& name) const
    {
        return m_area->findChild<T*>(name);
    }

    std::unique_ptr<WhisperEngine> m_whisper;
    std::unique_ptr<RecapEngine> m_recapEngine;
    std::unique_ptr<WaveformVisualizerView> m_area;
};
