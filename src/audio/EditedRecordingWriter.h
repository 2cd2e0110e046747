#pragma once

#include "audio/MP3Encoder.h"
#include "audio/RecordingDecoder.h"
#include "common/Error.h"

#include <QFile>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

// The new MP3 that merging and trimming write, at 44,100 Hz stereo and
// 192 kbit/s, with failures told in the tool's own error type: `EditError`
// offers cannotInitializeReader, audioTrackNotFound and encodingFailed.
template <typename EditError>
class EditedRecordingWriter {
public:
    // Opens `path` for reading, or throws the tool's error.
    static void openSource(RecordingDecoder& decoder, const QString& path)
    {
        switch (decoder.open(path)) {
        case RecordingDecoder::OpenResult::unreadable:
            throw EditError::cannotInitializeReader(path);
        case RecordingDecoder::OpenResult::noAudio:
            throw EditError::audioTrackNotFound(path);
        case RecordingDecoder::OpenResult::opened:
            break;
        }
    }

    // Replaces whatever is at the destination; throws the encoder's own error
    // when it cannot be created.
    explicit EditedRecordingWriter(const QString& destinationPath)
        : m_destinationPath(destinationPath)
        , m_encoder(destinationPath, RecordingDecoder::kSampleRate, 192, RecordingDecoder::kChannels)
    {
    }

    // Runs `work`, which appends, then finishes the file. Any failure, and a
    // `CancelledError`, removes the file; a write error (a full disk) becomes encodingFailed, as a short
    // file is no result.
    void write(const std::function<void()>& work)
    {
        try {
            work();
            m_encoder.finish();
        } catch (const EditError&) {
            discard();
            throw;
        } catch (const CancelledError&) {
            discard();
            throw;
        } catch (const Error& error) {
            discard();
            throw EditError::encodingFailed(error.message());
        }
    }

    // Appends what `decoder` has left, calling `afterBuffer` after each piece.
    // A decoding error is encodingFailed with the decoder's reason, or
    // `unknownReason` when it gives none.
    void append(RecordingDecoder& decoder, const QString& unknownReason, const std::function<void()>& afterBuffer = {})
    {
        for (;;) {
            const int64_t frames = decoder.read(m_samples.data(), kChunkFrames);
            if (frames < 0) {
                const QString reason = decoder.errorString();
                throw EditError::encodingFailed(reason.isEmpty() ? unknownReason : reason);
            }
            if (frames == 0)
                return;
            m_encoder.encode(m_samples.data(), static_cast<size_t>(frames * RecordingDecoder::kChannels));
            m_framesWritten += frames;
            if (afterBuffer)
                afterBuffer();
        }
    }

    int64_t framesWritten() const { return m_framesWritten; }

private:
    // Eight encoder passes: whole passes reach the encoder without being copied.
    static constexpr int64_t kChunkFrames = 1152 * 8;

    void discard()
    {
        try {
            m_encoder.finish();
        } catch (const Error&) {
            // The file goes anyway.
        }
        QFile::remove(m_destinationPath);
    }

    QString m_destinationPath;
    MP3Encoder m_encoder;
    std::vector<int16_t> m_samples = std::vector<int16_t>(static_cast<size_t>(kChunkFrames * RecordingDecoder::kChannels));
    int64_t m_framesWritten = 0;
};
