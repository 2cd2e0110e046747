#pragma once

#include <cstddef>
#include <vector>

// How a noise suppressor treated speech whose clean form is known. All
// signals are mono at 44.1 kHz; `input` is clean speech plus noise, `output`
// the suppressor's answer to it, already lined up with the input.
namespace SpeechQuality {

struct Measures {
    // Gain of the clean speech inside the output over the frames with
    // speech (0 dB: kept whole; negative: lowered).
    double speechDb = 0;
    // Level of the noise-only frames, input over output; NaN when the
    // pauses hold no noise (digital silence).
    double pauseReductionDb = 0;
    // Mean over the frames with speech of speech power over the output's
    // error power, each frame's figure held to [-10, 35] dB.
    double segmentalSnrDb = 0;
    // Musical noise: kurtosis of the residual's short-time power spectrum
    // in the pauses over that of the noise before (1: the noise kept its
    // character; larger: isolated tones flicker in and out). NaN without
    // noise in the pauses.
    double kurtosisRatio = 0;
    // Speech gain over the file's first quarter second, and over the first
    // quarter second of each later sentence (their mean): a suppressor that
    // knows the background from the start treats the first word as it
    // treats every other.
    double onsetDb = 0;
    double laterOnsetsDb = 0;
};

// Speech gain of `output` over its first quarter second.
double onsetDb(const std::vector<float>& clean, const std::vector<float>& output);

// `sentenceStarts`: where each sentence begins, in samples; the first at 0.
Measures measure(const std::vector<float>& clean, const std::vector<float>& input, const std::vector<float>& output,
                 const std::vector<size_t>& sentenceStarts);

} // namespace SpeechQuality
