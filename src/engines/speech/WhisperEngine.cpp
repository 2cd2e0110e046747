#include "engines/speech/WhisperEngine.h"

#include "common/ConsoleLine.h"
#include "common/Error.h"
#include "common/HttpFileDownloader.h"
#include "common/Settings.h"
#include "common/SettingsKeys.h"
#include "engines/ModelLocations.h"
#include "engines/speech/SpeechAudioDecoder.h"
#include "engines/speech/WhisperCliRunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPointer>
#include <QPromise>

namespace {

const QString kDomain = QStringLiteral("WhisperEngine");
// The account on the model host that publishes the whisper.cpp models.
const QString kModelAccount = QStringLiteral("ggerganov");
// The first bytes of a ggml model file ("ggml" as a little-endian word).
const QByteArray kModelSignature = QByteArrayLiteral("lmgg");

QString describe(const std::exception& error)
{
    if (const auto* e = dynamic_cast<const Error*>(&error))
        return QStringLiteral("%1 (%2): %3").arg(e->domain()).arg(e->code()).arg(e->message());
    return QString::fromUtf8(error.what());
}

QString whisperLanguage()
{
    const QString language = Settings::shared().stringValue(SettingsKeys::whisperLanguage);
    return language.isEmpty() ? QStringLiteral("auto") : language;
}

} // namespace

const QString WhisperEngine::turboModelFileName = QStringLiteral("ggml-large-v3-turbo-q5_0.bin");
const QString WhisperEngine::fullModelFileName = QStringLiteral("ggml-large-v3-turbo.bin");

WhisperEngine& WhisperEngine::shared()
{
    static WhisperEngine* instance = [] {
        auto* engine = new WhisperEngine();
        if (auto* app = QCoreApplication::instance(); app && engine->thread() != app->thread())
            engine->moveToThread(app->thread());
        return engine;
    }();
    return *instance;
}

WhisperEngine::WhisperEngine(QObject* parent)
    : QObject(parent)
    , m_modelsWatcher(new QFileSystemWatcher(this))
    , m_whisperQueue(std::make_unique<SerialQueue>(QStringLiteral("com.tarvell.nimbrel.whisper"),
                                                   SerialQueue::Priority::UserInitiated))
{
    LiveTranscriptionSession::Inference inference;
    inference.isModelLoaded = [this] { return m_contextLoaded.load(); };
    inference.isTranscribingFile = [this] { return m_fileTranscriptions.load() > 0; };
    inference.transcribe = [this](const std::vector<float>& samples, bool isLive) -> std::optional<Transcription> {
        if (m_stopping)
            return std::nullopt;
        return m_context.transcribe(samples, isLive, whisperLanguage(), [this] { return m_stopping.load(); });
    };
    inference.post = [this](std::function<void()> work) { m_whisperQueue->post(std::move(work)); };
    m_liveSession = new LiveTranscriptionSession(std::move(inference), this);
    checkModelAvailability();
    // A model copied in by hand, or deleted, shows at once.
    connect(m_modelsWatcher, &QFileSystemWatcher::directoryChanged, this, &WhisperEngine::followModelFiles);
    watchModelsFolder();
}

WhisperEngine::~WhisperEngine()
{
    // Queued and running work ends at once with "Engine deallocated".
    m_stopping = true;
    m_whisperQueue.reset();
}

QString WhisperEngine::modelsDirectory() const
{
    return ModelLocations::modelsDirectory();
}

std::optional<QString> WhisperEngine::preferredModelURL() const
{
    const QDir folder(modelsDirectory());
    for (const QString& name : {turboModelFileName, fullModelFileName}) {
        const QString path = folder.filePath(name);
        if (QFileInfo::exists(path))
            return path;
    }
    return std::nullopt;
}

void WhisperEngine::setModelState(const WhisperModelState& state)
{
    if (m_modelState == state)
        return;
    if (state.is(WhisperModelState::Case::error))
        m_modelAtError = preferredModelURL();
    m_modelState = state;
    Q_EMIT modelStateChanged(m_modelState);
}

void WhisperEngine::checkModelAvailability()
{
    const auto model = preferredModelURL();
    const WhisperModelState state = model ? WhisperModelState::ready(QFileInfo(*model).fileName())
                                          : WhisperModelState::notDownloaded();
    QMetaObject::invokeMethod(this, [this, state] { setModelState(state); }, Qt::AutoConnection);
}

void WhisperEngine::watchModelsFolder()
{
    ModelLocations::watchOnly(*m_modelsWatcher, modelsDirectory());
}

void WhisperEngine::followModelFiles()
{
    watchModelsFolder();
    const auto model = preferredModelURL();
    switch (m_modelState.state) {
    case WhisperModelState::Case::downloading:
    case WhisperModelState::Case::loading:
        return;
    case WhisperModelState::Case::error:
        // A failed download's or load's message stays until the model files
        // are other than they were when it failed.
        if (model == m_modelAtError)
            return;
        break;
    case WhisperModelState::Case::notDownloaded:
    case WhisperModelState::Case::ready:
        break;
    }
    setModelState(model ? WhisperModelState::ready(QFileInfo(*model).fileName()) : WhisperModelState::notDownloaded());
}

void WhisperEngine::downloadTurboModel()
{
    if (m_modelState.is(WhisperModelState::Case::downloading))
        return;
    const QString destination = QDir(modelsDirectory()).filePath(turboModelFileName);
    const QUrl source = ModelLocations::hostUrl(QStringLiteral("/%1/whisper.cpp/resolve/main/%2")
                                                    .arg(kModelAccount, turboModelFileName));
    setModelState(WhisperModelState::downloading(0.0, QStringLiteral("Connecting to Hugging Face...")));
    const QString downloadingMessage = QStringLiteral("Downloading Whisper model...");
    setModelState(WhisperModelState::downloading(0.1, downloadingMessage));
    m_publishedProgress = 0.1;

    HttpFileDownloader::Options options;
    options.acceptedSignatures = {kModelSignature};
    QPointer<WhisperEngine> self(this);
    options.progress = [self, downloadingMessage](qint64 received, qint64 total) {
        if (!self || total <= 0)
            return;
        const double progress = 0.1 + 0.9 * std::min(1.0, double(received) / double(total));
        // Whole percents are enough for a progress bar.
        if (progress - self->m_publishedProgress < 0.01 && progress < 1.0)
            return;
        self->m_publishedProgress = progress;
        self->setModelState(WhisperModelState::downloading(progress, downloadingMessage));
    };
    HttpFileDownloader::download(source, destination, std::move(options))
        .then(this, [this] { setModelState(WhisperModelState::ready(turboModelFileName)); })
        .onFailed(this, [this](const std::exception& error) {
            // An Error's what() is its message.
            setModelState(WhisperModelState::error(QStringLiteral("Download failed: ") + QString::fromUtf8(error.what())));
        });
}

void WhisperEngine::loadModel(const QString& path)
{
    setModelState(WhisperModelState::loading());
    m_whisperQueue->post([this, path] {
        if (m_stopping)
            return;
        const bool loaded = m_context.load(path);
        m_contextLoaded = loaded;
        QMetaObject::invokeMethod(this, [this, loaded, name = QFileInfo(path).fileName()] {
            if (loaded) {
                setModelState(WhisperModelState::ready(name));
                ConsoleLine::print(QStringLiteral("Whisper engine initialized successfully with: ") + name);
            } else {
                setModelState(WhisperModelState::error(QStringLiteral("Failed to load model file.")));
            }
        }, Qt::QueuedConnection);
    });
}

void WhisperEngine::changeActiveTranscriptions(int delta)
{
    const bool was = isTranscribing();
    m_activeTranscriptions += delta;
    if (was != isTranscribing())
        Q_EMIT isTranscribingChanged(isTranscribing());
}

QFuture<Transcription> WhisperEngine::transcribeAudioFile(const QString& path)
{
    QMetaObject::invokeMethod(this, [this] { changeActiveTranscriptions(+1); }, Qt::AutoConnection);
    auto promise = std::make_shared<QPromise<Transcription>>();
    QFuture<Transcription> future = promise->future();
    promise->start();
    promise->setProgressRange(0, 100);
    ++m_fileTranscriptions;
    m_whisperQueue->post([this, promise, path] {
        auto isCancelled = [this, promise] { return promise->isCanceled() || m_stopping; };
        // A fallback after the tool failed starts again below its figure;
        // the future keeps the highest.
        auto onProgress = [promise](int percent) { promise->setProgressValue(percent); };
        try {
            if (isCancelled())
                throw CancelledError();
            promise->addResult(transcribeOnQueue(path, isCancelled, onProgress));
        } catch (const CancelledError&) {
            if (m_stopping && !promise->isCanceled())
                promise->setException(std::make_exception_ptr(Error(kDomain, -4, QStringLiteral("Engine deallocated"))));
        } catch (...) {
            promise->setException(std::current_exception());
        }
        promise->finish();
        --m_fileTranscriptions;
        QMetaObject::invokeMethod(this, [this] {
            changeActiveTranscriptions(-1);
            // Also where the folder cannot be watched, the model a
            // transcription used or missed shows in the state afterwards.
            followModelFiles();
        }, Qt::QueuedConnection);
    });
    return future;
}

Transcription WhisperEngine::transcribeOnQueue(const QString& path, const std::function<bool()>& isCancelled,
                                               const std::function<void(int)>& onProgress)
{
    const QString tool = WhisperCliRunner::locateWhisperExecutable();
    const auto model = preferredModelURL();
    if (!tool.isEmpty() && model) {
        try {
            return WhisperCliRunner::transcribe(tool, *model, path, whisperLanguage(), isCancelled, onProgress);
        } catch (const CancelledError&) {
            throw;
        } catch (const std::exception& error) {
            if (isCancelled())
                throw CancelledError();
            ConsoleLine::print(QStringLiteral("Whisper CLI transcription failed, falling back to C engine: ") + describe(error));
        }
    }
    return transcribeInProcess(path, isCancelled, onProgress);
}

Transcription WhisperEngine::transcribeInProcess(const QString& path, const std::function<bool()>& isCancelled,
                                                 const std::function<void(int)>& onProgress)
{
    // Loading here, on the queue, loads the model once however many
    // transcriptions start together. A failed load is retried next time.
    if (!m_context.isLoaded()) {
        const auto model = preferredModelURL();
        // Said before the whole file is decoded for nothing, and in words
        // that tell the user what to do.
        if (!model)
            throw Error(kDomain, -5, QStringLiteral("Speech recognition model is not downloaded."));
        m_contextLoaded = m_context.load(*model);
    }
    const std::vector<float> samples = SpeechAudioDecoder::decodeTo16kMono(path, isCancelled);
    if (samples.empty())
        throw Error(kDomain, -3, QStringLiteral("No audio data decoded from file."));
    if (isCancelled())
        throw CancelledError();
    auto result = m_context.transcribe(samples, false, whisperLanguage(), isCancelled, onProgress);
    if (isCancelled())
        throw CancelledError();
    if (!result)
        throw Error(kDomain, -5, QStringLiteral("Whisper inference failed"));
    result->clampTo(double(samples.size()) / SpeechAudioDecoder::kSampleRate);
    return *result;
}
