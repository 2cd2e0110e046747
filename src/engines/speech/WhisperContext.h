#pragma once

#include "engines/speech/Transcription.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

struct whisper_context;

// The linked whisper.cpp model: loaded once, then run over 16 kHz mono
// samples. Not thread-safe: the engine uses it only on its whisper queue.
class WhisperContext {
public:
    WhisperContext() = default;
    ~WhisperContext();
    WhisperContext(const WhisperContext&) = delete;
    WhisperContext& operator=(const WhisperContext&) = delete;

    bool isLoaded() const { return m_context != nullptr; }
    // Frees any model held, then loads `modelPath`; true when it loaded.
    bool load(const QString& modelPath);
    void reset();

    // One whisper.cpp run with greedy sampling. `language` is "auto" (detect)
    // or a language code; `isLive` keeps no context between windows. Nothing
    // without a model, on a whisper.cpp error, or when `shouldAbort` stops it.
    // `onProgress` gets whisper.cpp's figure, 0 ... 100, as it works.
    std::optional<Transcription> transcribe(const std::vector<float>& samples, bool isLive, const QString& language,
                                            const std::function<bool()>& shouldAbort = {},
                                            const std::function<void(int percent)>& onProgress = {});

    // 2 up to 3 cores, half the cores up to 7, else 4.
    static int threadCount(int cores);

private:
    whisper_context* m_context = nullptr;
};
