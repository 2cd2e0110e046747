// Waveforms read back from the audio files.

#include "viewmodels/RecordingViewModel.h"

#include "viewmodels/WaveformExtractor.h"

std::optional<QList<float>> RecordingViewModel::extractWaveformFromFile(const QString& path, int targetCount)
{
    return WaveformExtractor::extract(path, targetCount);
}
