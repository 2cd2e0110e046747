#include "engines/speech/WhisperCliRunner.h"

#include "engines/BundledTools.h"

#include "common/AppPaths.h"
#include "common/Error.h"
#include "engines/speech/WhisperCliOutput.h"
#include "platform/media/Mp3Decoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUuid>

#include <optional>

namespace {

const QString kDomain = QStringLiteral("WhisperEngine");
const QString kToolName = QStringLiteral("whisper-cli");

std::optional<QString> strictUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// Removes the output file when the call ends, however it ends.
class RemoveOnExit {
public:
    explicit RemoveOnExit(QString path)
        : m_path(std::move(path))
    {
    }
    ~RemoveOnExit() { QFile::remove(m_path); }

private:
    QString m_path;
};

} // namespace

QString WhisperCliRunner::locateWhisperExecutable()
{
    return ProcessRunner::findExecutable(kToolName, BundledTools::folders(QStringLiteral("whisper")));
}

ProcessRunner::Command WhisperCliRunner::command(const QString& executable, const QString& modelPath,
                                                 const QString& audioPath, const QString& language,
                                                 const QString& outputBase)
{
    const QString toolFolder = QFileInfo(executable).absolutePath();
    ProcessRunner::Command command;
    command.program = executable;
    command.arguments = {QStringLiteral("-m"), modelPath, QStringLiteral("-f"), audioPath, QStringLiteral("-l"),
                         language, QStringLiteral("-oj"), QStringLiteral("-of"), outputBase, QStringLiteral("-np"),
                         QStringLiteral("-pp")};
    command.environment.insert(QStringLiteral("GGML_BACKEND_PATH"), QDir(toolFolder).filePath(QStringLiteral("libexec")));
    BundledTools::prepareEnvironment(command.environment, executable);
    return command;
}

Transcription WhisperCliRunner::transcribe(const QString& executable, const QString& modelPath,
                                           const QString& audioPath, const QString& language,
                                           const ProcessRunner::CancelCheck& isCancelled,
                                           const std::function<void(int percent)>& onProgress)
{
    const QString outputBase = QDir(AppPaths::privateTempFolder())
                                   .filePath(QStringLiteral("whisper_")
                                             + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
    const QString jsonPath = outputBase + QStringLiteral(".json");
    RemoveOnExit cleanup(jsonPath);

    ProcessRunner::Command run = command(executable, modelPath, audioPath, language, outputBase);
    if (onProgress) {
        run.onStandardError = [&onProgress, last = -1](const QByteArray& standardError) mutable {
            const std::optional<int> percent = WhisperCliOutput::lastProgress(standardError);
            if (percent && *percent != last)
                onProgress(last = *percent);
        };
    }
    const ProcessRunner::Result result = ProcessRunner::run(run, isCancelled);
    const std::optional<QString> complaint = strictUtf8(WhisperCliOutput::withoutProgress(result.standardError));
    if (!result.succeeded()) {
        throw Error(kDomain, result.exitStatus,
                    complaint.value_or(QStringLiteral("Whisper CLI exited with code %1").arg(result.exitStatus)));
    }
    // The tool also exits 0 when it could not read the audio; only its file counts.
    QFile json(jsonPath);
    std::optional<Transcription> transcription;
    if (json.open(QIODevice::ReadOnly))
        transcription = WhisperCliOutput::parse(json.readAll());
    if (!transcription)
        throw Error(kDomain, -1, complaint.value_or(QStringLiteral("Failed to parse Whisper JSON output")));
    transcription->clampTo(Mp3Decoder::durationOf(audioPath));
    return *transcription;
}
