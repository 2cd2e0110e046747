#include "engines/speech/SpeechAudioDecoder.h"

#include "common/Error.h"
#include "platform/media/Mp3Decoder.h"

#include <QFileInfo>

#include <memory>
#include <new>

#include <soxr.h>

namespace {

const QString kDomain = QStringLiteral("WhisperEngine");
constexpr int64_t kChunkFrames = 32768;

struct SoxrDeleter {
    void operator()(soxr_t resampler) const { soxr_delete(resampler); }
};
using Resampler = std::unique_ptr<std::remove_pointer_t<soxr_t>, SoxrDeleter>;

Resampler makeResampler(int inputRate)
{
    soxr_error_t error = nullptr;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    Resampler resampler(soxr_create(inputRate, SpeechAudioDecoder::kSampleRate, 1, &error, &io, &quality, nullptr));
    if (!resampler || error)
        throw Error(kDomain, -10, QStringLiteral("Cannot create audio converter"));
    return resampler;
}

// Feeds `count` samples (none: the end of the input) and appends what comes out.
void resample(soxr_t resampler, const float* input, size_t count, std::vector<float>& output)
{
    size_t offered = 0;
    for (;;) {
        const size_t room = std::max<size_t>(4096, (count - offered) / 2 + 1024);
        const size_t before = output.size();
        output.resize(before + room);
        size_t used = 0;
        size_t made = 0;
        const soxr_error_t error = soxr_process(resampler, input ? input + offered : nullptr, count - offered,
                                                &used, output.data() + before, room, &made);
        output.resize(before + made);
        if (error)
            throw Error(kDomain, -13, QStringLiteral("Conversion failed"));
        offered += used;
        // Done when all input is taken and the resampler had room to spare.
        if (offered >= count && made < room)
            return;
    }
}

} // namespace

std::vector<float> SpeechAudioDecoder::decodeTo16kMono(const QString& path, const std::function<bool()>& isCancelled)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        throw Error(QStringLiteral("Mp3Decoder"), -1, QStringLiteral("The file \"%1\" cannot be opened.").arg(info.fileName()));

    Mp3Decoder decoder;
    if (!decoder.open(path, Mp3Decoder::SampleFormat::Float32, Mp3Decoder::Channels::Mono))
        return {}; // readable, but no frame decodes: no audio in it

    std::vector<float> output;
    try {
        const int64_t frames = decoder.lengthFrames();
        if (frames > 0)
            output.reserve(static_cast<size_t>(frames * kSampleRate / decoder.sampleRate() + 2048));
        Resampler resampler;
        if (decoder.sampleRate() != kSampleRate)
            resampler = makeResampler(decoder.sampleRate());

        std::vector<float> chunk(kChunkFrames);
        for (;;) {
            if (isCancelled && isCancelled())
                throw CancelledError();
            const int64_t read = decoder.read(chunk.data(), kChunkFrames);
            if (read < 0)
                throw Error(QStringLiteral("Mp3Decoder"), -1, decoder.errorString());
            if (read == 0)
                break;
            if (resampler)
                resample(resampler.get(), chunk.data(), static_cast<size_t>(read), output);
            else
                output.insert(output.end(), chunk.begin(), chunk.begin() + read);
        }
        if (resampler)
            resample(resampler.get(), nullptr, 0, output);
    } catch (const std::bad_alloc&) {
        throw Error(kDomain, -12, QStringLiteral("Cannot allocate output buffer"));
    }
    return output;
}
