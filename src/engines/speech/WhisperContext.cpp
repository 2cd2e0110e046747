#include "engines/speech/WhisperContext.h"

#include "common/ConsoleLine.h"

#include <QFile>

#include <algorithm>
#include <climits>
#include <thread>

#include <whisper.h>

namespace {

bool abortRequested(void* userData)
{
    const auto* shouldAbort = static_cast<const std::function<bool()>*>(userData);
    return (*shouldAbort)();
}

} // namespace

WhisperContext::~WhisperContext()
{
    reset();
}

void WhisperContext::reset()
{
    if (m_context) {
        whisper_free(m_context);
        m_context = nullptr;
    }
}

bool WhisperContext::load(const QString& modelPath)
{
    reset();
    whisper_context_params params = whisper_context_default_params();
    params.use_gpu = true; // a CPU-only build ignores it
    m_context = whisper_init_from_file_with_params(QFile::encodeName(modelPath).constData(), params);
    return m_context != nullptr;
}

int WhisperContext::threadCount(int cores)
{
    if (cores <= 3)
        return 2;
    if (cores <= 7)
        return cores / 2;
    return 4;
}

std::optional<Transcription> WhisperContext::transcribe(const std::vector<float>& samples, bool isLive,
                                                        const QString& language,
                                                        const std::function<bool()>& shouldAbort,
                                                        const std::function<void(int percent)>& onProgress)
{
    if (!m_context || samples.size() > static_cast<size_t>(INT_MAX))
        return std::nullopt;

    whisper_full_params params = whisper_full_default_params(WHISPER_SAMPLING_GREEDY);
    params.n_threads = threadCount(static_cast<int>(std::thread::hardware_concurrency()));
    params.translate = false;
    params.no_context = isLive;
    params.single_segment = false;
    params.print_progress = false;
    params.print_realtime = false;
    params.print_timestamps = false;
    const QByteArray languageCode = language.toUtf8(); // alive until whisper_full returns
    params.language = language.isEmpty() || language == QLatin1String("auto") ? nullptr : languageCode.constData();
    params.temperature_inc = 0.2f;
    if (shouldAbort) {
        params.abort_callback = &abortRequested;
        params.abort_callback_user_data = const_cast<std::function<bool()>*>(&shouldAbort);
    }

    if (onProgress) {
        params.progress_callback = [](whisper_context*, whisper_state*, int progress, void* user) {
            (*static_cast<const std::function<void(int)>*>(user))(std::clamp(progress, 0, 100));
        };
        params.progress_callback_user_data = const_cast<std::function<void(int)>*>(&onProgress);
    }

    const int status = whisper_full(m_context, params, samples.data(), static_cast<int>(samples.size()));
    if (status != 0) {
        ConsoleLine::print(QStringLiteral("Whisper full inference returned error code: %1").arg(status));
        return std::nullopt;
    }
    if (shouldAbort && shouldAbort())
        return std::nullopt;

    Transcription result;
    const int count = whisper_full_n_segments(m_context);
    for (int i = 0; i < count; ++i) {
        const char* text = whisper_full_get_segment_text(m_context, i);
        if (!text)
            continue;
        // whisper.cpp counts time in hundredths of a second.
        result.appendSegment(static_cast<double>(whisper_full_get_segment_t0(m_context, i)) / 100.0,
                             static_cast<double>(whisper_full_get_segment_t1(m_context, i)) / 100.0,
                             QString::fromUtf8(text));
    }
    if (const char* code = whisper_lang_str(whisper_full_lang_id(m_context)))
        result.language = QString::fromUtf8(code).toUpper();
    return result;
}
