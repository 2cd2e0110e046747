// Transcribes one 60-second spoken MP3 with the same generated model through
// the outside tool and through the linked library, and prints, last, the
// in-process time divided by the outside tool's (lower is better; at most 1.0
// is the aim).
#include "engines/speech/WhisperCliRunner.h"
#include "engines/speech/WhisperEngine.h"

#include <QCoreApplication>
#include <QProcess>
#include <QFileInfo>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

#include "MedianTime.h"
#include "SpeechFixture.h"

int main(int argc, char** argv)
{
    // A home of its own, so the benchmark never touches the user's models.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    QCoreApplication app(argc, argv);
    // Runs per path (the median is shown): the random model decodes long
    // nonsense, so one run of the outside tool can take minutes.
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 1;

    const QString model = QStringLiteral(NIMBREL_BENCH_MODEL);
    if (!QFileInfo::exists(model)) {
        std::printf("Writing the benchmark model (about a minute, once)...\n");
        QDir().mkpath(QFileInfo(model).absolutePath());
        const int status = QProcess::execute(QStringLiteral(NIMBREL_PYTHON),
                                             {QStringLiteral(NIMBREL_MODEL_GENERATOR), model,
                                              QStringLiteral("--state"), QStringLiteral("384"), QStringLiteral("--heads"),
                                              QStringLiteral("6"), QStringLiteral("--layers"), QStringLiteral("4"),
                                              QStringLiteral("--multilingual")});
        if (status != 0) {
            QFile::remove(model);
            std::fprintf(stderr, "could not write the benchmark model\n");
            return 1;
        }
    }
    const QString audio = home.filePath(QStringLiteral("speech-60s.mp3"));
    SpeechFixture::writeSpeechMp3(audio,
                                  QStringLiteral("The weekly planning meeting starts with a short review of last week. "
                                                 "Then each team lists its goals, its risks and what it needs from others."),
                                  60.0);
    const QString tool = WhisperCliRunner::locateWhisperExecutable();
    if (tool.isEmpty()) {
        std::fprintf(stderr, "whisper-cli not found; set NIMBREL_DEPS_DIR\n");
        return 1;
    }

    int toolSegments = 0;
    const double toolSeconds = medianSeconds(runs, [&] {
        toolSegments = int(WhisperCliRunner::transcribe(tool, model, audio, QStringLiteral("auto")).segments.size());
    });

    // The engine on its own, with no outside tool to find.
    WhisperEngine engine;
    QFile::copy(model, QDir(engine.modelsDirectory()).filePath(WhisperEngine::turboModelFileName));
    QTemporaryDir noTools;
    qputenv("PATH", "/usr/bin:/bin");
    qputenv("NIMBREL_DEPS_DIR", noTools.path().toLocal8Bit());
    int librarySegments = 0;
    const double librarySeconds = medianSeconds(runs, [&] {
        QFuture<Transcription> future = engine.transcribeAudioFile(audio);
        librarySegments = int(future.result().segments.size());
    });

    std::printf("audio: 60 s; model: state 384, 6 heads, 4 layers; median of %d run(s)\n", runs);
    std::printf("outside tool: %.3f s (%d segments)\n", toolSeconds, toolSegments);
    std::printf("in process:   %.3f s (%d segments)\n", librarySeconds, librarySegments);
    std::printf("in-process / outside-tool time: %.3f\n", librarySeconds / toolSeconds);
    return 0;
}
