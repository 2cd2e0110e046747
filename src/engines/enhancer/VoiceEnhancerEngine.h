#pragma once

#include "common/SerialQueue.h"

#include <QFuture>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

// Renders a cleaned-up copy of a recorded voice: the source is decoded,
// brought to 44.1 kHz stereo, run through voice isolation, a five-band
// equaliser, a dynamics processor and a peak limiter, and encoded as a new
// MP3 at 192 kbit/s. The copy is written to a temporary file beside the
// destination and renamed over it when complete, so the destination never
// holds half a file. One enhancement at a time, on the "enhancer" queue.
class VoiceEnhancerEngine {
public:
    static inline const QString errorDomain = QStringLiteral("VoiceEnhancerEngine");
    enum ErrorCode {
        sourceNotFound = 404,   // "Source file not found at <path>"
        bufferUnavailable = 2,  // "Failed to allocate render buffer."
        renderFailed = 3,       // "Offline render failed with status <n>": the source stopped decoding
        engineStopped = -4,     // the engine was destroyed with the run still queued or under way
        moveFailed = -5,        // the finished copy could not be renamed over the destination
    };
    // Frames per block: the most the chain is handed at once.
    static constexpr int64_t kBlockFrames = 4096;

    static VoiceEnhancerEngine& shared();

    // The application uses `shared()`; tests make engines of their own.
    VoiceEnhancerEngine();
    ~VoiceEnhancerEngine();
    VoiceEnhancerEngine(const VoiceEnhancerEngine&) = delete;
    VoiceEnhancerEngine& operator=(const VoiceEnhancerEngine&) = delete;

    // Queues an enhancement. The future fails with `Error` (this engine's
    // domain and codes, the decoder's or the encoder's); cancelling it stops
    // the rendering at the next block, and the future ends cancelled. A
    // failed or cancelled run leaves no temporary file and leaves an
    // earlier destination file as it was. The future's progress is blocks
    // rendered of the blocks in all.
    QFuture<void> enhanceAudioFile(const QString& sourcePath, const QString& destinationPath);

    // The rendering itself, on the calling thread; throws what the future
    // would fail with, or `CancelledError` once `isCancelled` answers true.
    // `onBlock` hears of each block before it is rendered: blocks done so
    // far of the blocks in all (0 first).
    static void processOffline(const QString& sourcePath, const QString& destinationPath,
                               const std::function<bool()>& isCancelled = {},
                               const std::function<void(int64_t done, int64_t total)>& onBlock = {});

    // The temporary file's name for one run: ".enh_temp_<UUID>.mp3".
    static QString temporaryFileName();

private:
    std::atomic<bool> m_stopping{false};
    // Declared last: it drains (quickly, as runs see m_stopping) first.
    std::unique_ptr<SerialQueue> m_processingQueue;
};
