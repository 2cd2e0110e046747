#include "engines/recap/RecapEngine.h"

#include "common/AppPaths.h"
#include "common/Error.h"
#include "common/HttpFileDownloader.h"
#include "common/ProcessRunner.h"
#include "common/Text.h"
#include "engines/BundledTools.h"
#include "engines/ModelLocations.h"
#include "engines/recap/LlamaRunnerLocator.h"
#include "engines/recap/PromptFile.h"
#include "engines/recap/RecapCleaner.h"
#include "engines/recap/RecapLanguage.h"
#include "engines/recap/RecapPrompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPointer>
#include <QPromise>

#include <algorithm>
#include <memory>

namespace {

const QString kModelSourcePath = QStringLiteral("/ggml-org/gemma-3-1b-it-GGUF/resolve/main/gemma-3-1b-it-Q4_K_M.gguf");

// The runner's bytes as text: a byte that is not UTF-8 (a token cut in
// the middle, a stray log byte) becomes a replacement character instead of
// costing the whole output.
QString decodeLeniently(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes);
}

// The last line of the runner's complaint, or nothing when it said nothing
// readable.
QString lastReadableLine(const QString& text)
{
    const QString line = text.trimmed().section(QLatin1Char('\n'), -1).trimmed();
    const bool readable = std::any_of(line.begin(), line.end(), [](QChar c) {
        return c != QChar::ReplacementCharacter && !c.isSpace();
    });
    return readable ? line : QString();
}

} // namespace

RecapEngine& RecapEngine::shared()
{
    static RecapEngine* engine = [] {
        auto* made = new RecapEngine;
        // Its properties belong to the main thread whoever asks first.
        if (QCoreApplication::instance())
            made->moveToThread(QCoreApplication::instance()->thread());
        return made;
    }();
    return *engine;
}

RecapEngine::RecapEngine(QObject* parent)
    : QObject(parent)
    , m_recapQueue(QStringLiteral("com.tarvell.nimbrel.recap"), SerialQueue::Priority::UserInitiated)
    , m_modelsWatcher(new QFileSystemWatcher(this))
{
    checkModelAvailability();
    // A model copied in by hand, or deleted, shows at once.
    connect(m_modelsWatcher, &QFileSystemWatcher::directoryChanged, this, &RecapEngine::followModelFile);
    watchModelsFolder();
}

RecapEngine::~RecapEngine() = default;

QString RecapEngine::modelsDirectory()
{
    return ModelLocations::modelsDirectory();
}

QString RecapEngine::modelPath()
{
    return QDir(modelsDirectory()).filePath(modelFileName);
}

bool RecapEngine::isModelReady()
{
    return QFileInfo::exists(modelPath());
}

void RecapEngine::checkModelAvailability()
{
    const bool present = isModelReady();
    QMetaObject::invokeMethod(
        this,
        [this, present] {
            // A download asked for in the meantime has the newer word.
            if (m_modelState == RecapModelState::notDownloaded() && present)
                setModelState(RecapModelState::ready(modelFileName));
        },
        Qt::QueuedConnection);
}

void RecapEngine::watchModelsFolder()
{
    ModelLocations::watchOnly(*m_modelsWatcher, modelsDirectory());
}

void RecapEngine::followModelFile()
{
    watchModelsFolder();
    // A download under way has the word; its end sets the state itself.
    if (m_modelState.isDownloading())
        return;
    const bool present = isModelReady();
    // A failed download's reason stays until the file comes or goes.
    if (m_modelState.kind() == RecapModelState::Kind::error && present == m_modelPresentAtError)
        return;
    setModelState(present ? RecapModelState::ready(modelFileName) : RecapModelState::notDownloaded());
}

void RecapEngine::setModelState(const RecapModelState& state)
{
    if (state == m_modelState)
        return;
    if (state.kind() == RecapModelState::Kind::error)
        m_modelPresentAtError = isModelReady();
    m_modelState = state;
    Q_EMIT modelStateChanged();
}

void RecapEngine::setGenerating(bool generating)
{
    if (generating == m_isGenerating)
        return;
    m_isGenerating = generating;
    Q_EMIT isGeneratingChanged();
}

QString RecapEngine::cleanMarkdownOutput(const QString& output)
{
    return RecapCleaner::clean(output);
}

int RecapEngine::contextSize(const QString& transcript)
{
    const qsizetype characters = Text::characterCount(transcript);
    if (characters <= 2999)
        return 4096;
    // One token of context per three characters, within the model's window.
    return static_cast<int>(std::clamp<qsizetype>(characters / 3, 2048, 30720)) + 2048;
}

QStringList RecapEngine::runnerArguments(const QString& runnerPath, const QString& modelPath,
                                         const QString& promptPath, int contextSize)
{
    QStringList arguments{QStringLiteral("-m"), modelPath,
                          QStringLiteral("-f"), promptPath,
                          QStringLiteral("-n"), QStringLiteral("1500"),
                          QStringLiteral("-c"), QString::number(contextSize),
                          QStringLiteral("-ngl"), QStringLiteral("99"),
                          QStringLiteral("--temp"), QStringLiteral("0.2"),
                          QStringLiteral("--no-display-prompt")};
    // The chat runner would otherwise wait for the next turn.
    if (QFileInfo(runnerPath).fileName() == QLatin1String("llama-cli"))
        arguments.append(QStringLiteral("--single-turn"));
    // The completion runner turns to chat by itself when the model carries a
    // chat template: it wraps our already formatted prompt a second time and
    // ends its output with "> EOF by user", which would land in every recap.
    else
        arguments.append(QStringLiteral("-no-cnv"));
    return arguments;
}

QProcessEnvironment RecapEngine::runnerEnvironment(const QString& runnerPath, const QProcessEnvironment& inherited)
{
    QProcessEnvironment environment = inherited;
    // The runner's shared libraries, if any, sit beside it.
    BundledTools::prepareEnvironment(environment, runnerPath);
    return environment;
}

QFuture<QString> RecapEngine::generateRecap(const QString& transcript, RecordingType recordingType)
{
    auto promise = std::make_shared<QPromise<QString>>();
    QFuture<QString> future = promise->future();
    promise->start();

    QString runner;
    try {
        if (!isModelReady())
            throw Error(errorDomain, -1, QStringLiteral("AI Summary model is not downloaded."));
        runner = LlamaRunnerLocator::locate();
        if (runner.isEmpty())
            throw Error(errorDomain, -2, QStringLiteral("Llama runtime not found."));
        if (transcript.trimmed().isEmpty())
            throw Error(errorDomain, -3, QStringLiteral("Transcript is empty."));
    } catch (...) {
        promise->setException(std::current_exception());
        promise->finish();
        return future;
    }

    // At once on the engine's thread, else queued to it.
    QMetaObject::invokeMethod(this, [this] { setGenerating(true); }, Qt::AutoConnection);

    m_recapQueue.post([this, promise, runner, transcript, recordingType] {
        try {
            if (promise->isCanceled())
                throw CancelledError();
            promise->addResult(runRecap(runner, transcript, recordingType, [promise] { return promise->isCanceled(); }));
        } catch (...) {
            promise->setException(std::current_exception());
        }
        QMetaObject::invokeMethod(this, [this] { setGenerating(false); }, Qt::QueuedConnection);
        promise->finish();
    });
    return future;
}

QString RecapEngine::runRecap(const QString& runnerPath, const QString& transcript, RecordingType type,
                              const std::function<bool()>& isCancelled)
{
    const bool italian = RecapLanguage::isItalian(transcript);
    const PromptFile promptFile(RecapPrompt::build(transcript, italian, type));
    const QStringList arguments = runnerArguments(runnerPath, modelPath(), promptFile.path(), contextSize(transcript));
    const QProcessEnvironment environment = runnerEnvironment(runnerPath, QProcessEnvironment::systemEnvironment());

    const ProcessRunner::Result run = ProcessRunner::run({runnerPath, arguments, environment, {}}, isCancelled);
    // The status line has room for one line: the runner's last word is its reason.
    const QString lastErrorLine = lastReadableLine(decodeLeniently(run.standardError));
    const QString reason = !lastErrorLine.isEmpty() ? lastErrorLine : QStringLiteral("Unknown process error");
    // Output cut short by a signal (a crash, the OOM killer) is no recap.
    if (run.killedBySignal)
        throw Error(errorDomain, run.exitStatus,
                    !lastErrorLine.isEmpty()
                        ? QStringLiteral("Llama failed: ") + lastErrorLine
                        : QStringLiteral("Llama failed: the runner was ended by signal %1.").arg(run.exitStatus));

    // A failing exit that still printed a recap keeps what it printed.
    const QString cleaned = RecapCleaner::clean(decodeLeniently(run.standardOutput));
    if (!cleaned.isEmpty())
        return cleaned;
    if (run.exitStatus != 0)
        throw Error(errorDomain, run.exitStatus, QStringLiteral("Llama failed: ") + reason);
    // Exiting well with nothing to show is no recap either: an empty one
    // would be stored and shown as if it were the recap. The runner's log
    // does not say why, so the reason is ours.
    throw Error(errorDomain, emptyRecapCode, QStringLiteral("Llama failed: the output held no recap."));
}

QUrl RecapEngine::modelSourceUrl()
{
    return ModelLocations::hostUrl(kModelSourcePath);
}

void RecapEngine::downloadModel()
{
    if (m_modelState.isDownloading())
        return;
    // Published at once, so a second click before the event loop runs is ignored too.
    setModelState(RecapModelState::downloading(0.0, QStringLiteral("Connecting to Hugging Face...")));
    const QString destination = modelPath();
    QMetaObject::invokeMethod(
        this,
        [this, destination] {
            const QString downloadingMessage = QStringLiteral("Downloading AI Summary Model...");
            setModelState(RecapModelState::downloading(0.1, downloadingMessage));
            HttpFileDownloader::Options options;
            // A model file, not an error page: the old file stays otherwise.
            options.acceptedSignatures = {QByteArrayLiteral("GGUF")};
            QPointer<RecapEngine> self(this);
            options.progress = [self, downloadingMessage](qint64 received, qint64 total) {
                if (!self || total <= 0 || !self->m_modelState.isDownloading())
                    return;
                const double progress = 0.1 + 0.9 * std::min(1.0, double(received) / double(total));
                // Whole percents are enough for the figure shown.
                if (progress - self->m_modelState.progress() < 0.01 && progress < 1.0)
                    return;
                self->setModelState(RecapModelState::downloading(progress, downloadingMessage));
            };
            HttpFileDownloader::download(modelSourceUrl(), destination, options)
                .then(this, [this](QFuture<void> download) {
                    try {
                        download.waitForFinished();
                        setModelState(RecapModelState::ready(modelFileName));
                    } catch (...) {
                        setModelState(RecapModelState::error(QStringLiteral("Download failed: ")
                                                             + Error::describe(std::current_exception())));
                    }
                });
        },
        Qt::QueuedConnection);
}
