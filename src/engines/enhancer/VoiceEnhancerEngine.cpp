#include "engines/enhancer/VoiceEnhancerEngine.h"

#include "audio/MP3Encoder.h"
#include "audio/RecordingDecoder.h"
#include "common/Error.h"
#include "common/ScratchFileName.h"
#include "engines/enhancer/BlockWorker.h"
#include "engines/enhancer/EnhancementChain.h"
#include "engines/enhancer/FlushDenormals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPromise>
#include <QThread>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

namespace {

constexpr int kOutputRate = 44100;
constexpr int kOutputBitrate = 192;
constexpr int kOutputChannels = 2;
// Full scale of a float sample in 16-bit output; -1.0 becomes -32767, never -32768.
constexpr float kSampleScale = 32767.0f;
// The status of a render step that failed (a decoding error in the source).
constexpr int kRenderErrorStatus = -1;

Error enhancerError(int code, const QString& message)
{
    return Error(VoiceEnhancerEngine::errorDomain, code, message);
}

Error sourceError(RecordingDecoder::OpenResult result, const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    if (result == RecordingDecoder::OpenResult::noAudio)
        return Error(QStringLiteral("Mp3Decoder"), -2, QStringLiteral("The file \"%1\" holds no MP3 audio.").arg(name));
    return Error(QStringLiteral("Mp3Decoder"), -1, QStringLiteral("The file \"%1\" cannot be opened.").arg(name));
}

// Removes the temporary file unless the run put it in place.
class TemporaryFile {
public:
    explicit TemporaryFile(QString path) : m_path(std::move(path)) { }
    ~TemporaryFile()
    {
        if (!m_kept)
            QFile::remove(m_path);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const QString& path() const { return m_path; }
    void keep() { m_kept = true; }

private:
    QString m_path;
    bool m_kept = false;
};

// Fills `frames` interleaved frames from the decoder; zeros past its end.
void readSource(RecordingDecoder& decoder, int16_t* out, int64_t frames)
{
    int64_t filled = 0;
    while (filled < frames) {
        const int64_t read = decoder.read(out + filled * 2, frames - filled);
        if (read < 0)
            throw enhancerError(VoiceEnhancerEngine::renderFailed,
                                QStringLiteral("Offline render failed with status %1").arg(kRenderErrorStatus));
        if (read == 0)
            break;
        filled += read;
    }
    std::fill(out + filled * 2, out + frames * 2, int16_t(0));
}

int16_t toSample(float value)
{
    // Truncation toward zero, as the conversion to integer does.
    return static_cast<int16_t>(std::clamp(value, -1.0f, 1.0f) * kSampleScale);
}

} // namespace

VoiceEnhancerEngine& VoiceEnhancerEngine::shared()
{
    static VoiceEnhancerEngine* instance = new VoiceEnhancerEngine();
    return *instance;
}

VoiceEnhancerEngine::VoiceEnhancerEngine()
    : m_processingQueue(std::make_unique<SerialQueue>(QStringLiteral("com.tarvell.nimbrel.enhancer"),
                                                      SerialQueue::Priority::UserInitiated))
{
}

VoiceEnhancerEngine::~VoiceEnhancerEngine()
{
    m_stopping = true;
    m_processingQueue.reset();
}

QString VoiceEnhancerEngine::temporaryFileName()
{
    return ScratchFileName::make(ScratchFileName::Kind::enhancement);
}

QFuture<void> VoiceEnhancerEngine::enhanceAudioFile(const QString& sourcePath, const QString& destinationPath)
{
    auto promise = std::make_shared<QPromise<void>>();
    QFuture<void> future = promise->future();
    promise->start();
    m_processingQueue->post([this, promise, sourcePath, destinationPath] {
        try {
            processOffline(
                sourcePath, destinationPath, [this, promise] { return promise->isCanceled() || m_stopping; },
                [promise](int64_t done, int64_t total) {
                    if (done == 0)
                        promise->setProgressRange(0, static_cast<int>(std::min<int64_t>(total, INT_MAX)));
                    promise->setProgressValue(static_cast<int>(std::min<int64_t>(done, INT_MAX)));
                });
        } catch (const CancelledError&) {
            if (!promise->isCanceled())
                promise->setException(std::make_exception_ptr(
                    Error(errorDomain, engineStopped, QStringLiteral("The voice enhancer was shut down."))));
        } catch (...) {
            promise->setException(std::current_exception());
        }
        promise->finish();
    });
    return future;
}

void VoiceEnhancerEngine::processOffline(const QString& sourcePath, const QString& destinationPath,
                                         const std::function<bool()>& isCancelled,
                                         const std::function<void(int64_t done, int64_t total)>& onBlock)
{
    if (!QFileInfo(sourcePath).isFile())
        throw enhancerError(sourceNotFound, QStringLiteral("Source file not found at ") + sourcePath);

    RecordingDecoder decoder;
    if (const auto opened = decoder.open(sourcePath); opened != RecordingDecoder::OpenResult::opened)
        throw sourceError(opened, sourcePath);
    const int64_t sourceFrames = decoder.sourceLengthFrames();
    if (sourceFrames < 0)
        throw sourceError(RecordingDecoder::OpenResult::noAudio, sourcePath);
    // The output's length: the source's at 44.1 kHz, truncated.
    const auto total = static_cast<int64_t>(double(kOutputRate) / decoder.sourceSampleRate() * double(sourceFrames));

    std::unique_ptr<EnhancementChain> chain;
    std::vector<int16_t> input;
    std::vector<float> left, right;
    std::vector<int16_t> output[2]; // one filled while the other is encoded
    try {
        chain = std::make_unique<EnhancementChain>();
        input.resize(kBlockFrames * 2);
        left.resize(kBlockFrames);
        right.resize(kBlockFrames);
        output[0].resize(kBlockFrames * 2);
        output[1].resize(kBlockFrames * 2);
    } catch (const std::bad_alloc&) {
        throw enhancerError(bufferUnavailable, QStringLiteral("Failed to allocate render buffer."));
    }

    const QString folder = QFileInfo(destinationPath).absolutePath();
    TemporaryFile temporary(QDir(folder).filePath(temporaryFileName()));
    QFile::remove(temporary.path());
    MP3Encoder encoder(temporary.path(), kOutputRate, kOutputBitrate, kOutputChannels);

    // With cores to spare, three threads share the work of a block: this one
    // decodes, isolates the left channel and runs the rest of the chain; one
    // isolates the right channel; one encodes the block before. On a single
    // core the hand-overs would only add waits for the scheduler (many per
    // second, each as long as a time slice on a busy machine), so this thread
    // does it all. Declared after what they use, so they stop first when a
    // failure unwinds.
    const bool shareWork = QThread::idealThreadCount() > 1;
    std::optional<BlockWorker> isolationHelper;
    std::optional<BlockWorker> encoding;
    if (shareWork) {
        isolationHelper.emplace();
        encoding.emplace();
    }
    FlushDenormals flushDenormals;

    // The chain's output lags its input: it is fed the source and then as
    // many frames of silence as the lag, and its first frames are dropped,
    // so the copy lines up with the source and has its length.
    const auto latency = static_cast<int64_t>(chain->latencyFrames());
    int64_t sourceFed = 0;
    int64_t fed = 0;
    int64_t written = 0;
    size_t nextOutput = 0;
    const int64_t blocks = (total + latency + kBlockFrames - 1) / kBlockFrames;
    int64_t blocksDone = 0;
    if (onBlock)
        onBlock(0, blocks);
    while (written < total) {
        if (isCancelled && isCancelled())
            throw CancelledError();
        if (onBlock && blocksDone > 0)
            onBlock(blocksDone, blocks);
        ++blocksDone;
        const int64_t frames = std::min(kBlockFrames, total + latency - fed);
        const int64_t fromSource = std::min(frames, total - sourceFed);
        readSource(decoder, input.data(), fromSource);
        std::fill(input.begin() + fromSource * 2, input.begin() + frames * 2, int16_t(0));
        sourceFed += fromSource;

        const bool sameChannels = chain->process(input.data(), static_cast<size_t>(frames), left.data(), right.data(),
                                                 isolationHelper ? &*isolationHelper : nullptr);
        const int64_t skip = std::clamp<int64_t>(latency - fed, 0, frames);
        fed += frames;
        const int64_t count = std::min(frames - skip, total - written);
        if (count <= 0)
            continue;
        // The other buffer may still be being encoded; this one is free.
        std::vector<int16_t>& samples = output[nextOutput];
        nextOutput = 1 - nextOutput;
        if (sameChannels) {
            for (int64_t i = 0; i < count; ++i)
                samples[2 * i] = samples[2 * i + 1] = toSample(left[skip + i]);
        } else {
            for (int64_t i = 0; i < count; ++i) {
                samples[2 * i] = toSample(left[skip + i]);
                samples[2 * i + 1] = toSample(right[skip + i]);
            }
        }
        const auto encode = [&encoder, &samples, count] {
            encoder.encode(samples.data(), static_cast<size_t>(count * 2));
        };
        // Waits for the block before; an error of its encoding surfaces here.
        if (encoding)
            encoding->start(encode);
        else
            encode();
        written += count;
    }
    if (encoding)
        encoding->wait();
    encoder.finish();
    if (isCancelled && isCancelled())
        throw CancelledError();
    if (onBlock)
        onBlock(blocks, blocks);

    // rename() replaces the destination in one step: it is never missing or partial.
    if (std::rename(QFile::encodeName(temporary.path()).constData(), QFile::encodeName(destinationPath).constData()) != 0)
        throw Error(errorDomain, moveFailed,
                    QStringLiteral("Cannot move the enhanced copy into place: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    temporary.keep();
}
