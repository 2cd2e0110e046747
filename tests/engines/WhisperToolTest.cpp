#include "common/AppPaths.h"
#include "common/Settings.h"
#include "engines/speech/WhisperEngine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "SpeechFixture.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

namespace {

// Stands in for whisper-cli: records what it was given, then behaves as the
// file "mode" beside it says.
const char* kRecordingTool = R"SH(#!/bin/sh
here=$(dirname "$0")
: > "$here/args"
for a in "$@"; do printf '%s\n' "$a" >> "$here/args"; done
printf '%s' "${GGML_BACKEND_PATH-<unset>}" > "$here/ggml"
printf '%s' "${LD_LIBRARY_PATH-<unset>}" > "$here/ld"
readlink /proc/$$/fd/0 > "$here/stdin"
base=""; previous=""
for a in "$@"; do [ "$previous" = "-of" ] && base="$a"; previous="$a"; done
case "$(cat "$here/mode")" in
  answer) echo "whisper_print_progress_callback: progress =  45%" >&2; cp "$here/answer.json" "$base.json" ;;
  fail) echo "model file is damaged" >&2; exit 3 ;;
  silent) echo "error: failed to read audio data" >&2; exit 0 ;;
  garbage) printf 'not json' > "$base.json" ;;
  hang) echo $$ > "$here/pid.part"; mv "$here/pid.part" "$here/pid"; exec sleep 30 ;;
esac
)SH";

const char* kAnswer = R"({"result":{"language":"de"},"transcription":[
 {"offsets":{"from":0,"to":1500},"text":" Guten"},
 {"offsets":{"from":1500,"to":2750},"text":" Tag "},
 {"offsets":{"from":2750,"to":29000},"text":"allerseits"}]})";

const QString kFallbackLine = QStringLiteral("Whisper CLI transcription failed, falling back to C engine: ");

using TestFiles::readFile;
using TestFiles::writeFile;

QStringList leftoverJson()
{
    return QDir(AppPaths::privateTempFolder()).entryList({QStringLiteral("whisper_*")}, QDir::Files | QDir::Hidden);
}

template <typename T>
bool finished(const QFuture<T>& future, int timeoutMs = 120000)
{
    return TestEnvironment::waitUntil([&] { return future.isFinished(); }, timeoutMs);
}

class WhisperToolTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        speech = new QString(QDir(AppPaths::privateTempFolder()).filePath(QStringLiteral("speech.mp3")));
        speechSeconds = SpeechFixture::writeSpeechMp3(
            *speech, QStringLiteral("Good morning. The quarterly numbers are ready, and the team meets on Friday."));
    }
    static void TearDownTestSuite() { delete speech; }

    void SetUp() override
    {
        oldPath = qgetenv("PATH");
        oldDeps = qgetenv("NIMBREL_DEPS_DIR");
        oldLibraryPath = qgetenv("LD_LIBRARY_PATH");
        hadLibraryPath = qEnvironmentVariableIsSet("LD_LIBRARY_PATH");
        Settings::shared().remove(QStringLiteral("nimbrel_whisperLanguage"));
        const QString models = engine.modelsDirectory();
        QFile::remove(QDir(models).filePath(WhisperEngine::turboModelFileName));
        ASSERT_TRUE(QFile::copy(SpeechFixture::generatedModel(QStringLiteral("tiny-whisper.bin")),
                                QDir(models).filePath(WhisperEngine::turboModelFileName)));
        model = QDir(models).filePath(WhisperEngine::turboModelFileName);
    }

    void TearDown() override
    {
        qputenv("PATH", oldPath);
        qputenv("NIMBREL_DEPS_DIR", oldDeps);
        if (hadLibraryPath)
            qputenv("LD_LIBRARY_PATH", oldLibraryPath);
        else
            qunsetenv("LD_LIBRARY_PATH");
        Settings::shared().remove(QStringLiteral("nimbrel_whisperLanguage"));
        EXPECT_EQ(leftoverJson(), QStringList());
    }

    // Puts the recording tool first on PATH, with the bundled tools out of the way.
    void useRecordingTool(const QByteArray& mode)
    {
        const QString tool = toolDir.filePath(QStringLiteral("whisper-cli"));
        writeFile(tool, kRecordingTool);
        QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        writeFile(toolDir.filePath(QStringLiteral("mode")), mode);
        writeFile(toolDir.filePath(QStringLiteral("answer.json")), kAnswer);
        qputenv("PATH", toolDir.path().toLocal8Bit() + ':' + oldPath);
        qputenv("NIMBREL_DEPS_DIR", emptyDir.path().toLocal8Bit());
    }

    QString recorded(const char* name) const { return QString::fromLocal8Bit(readFile(toolDir.filePath(QString::fromLatin1(name)))); }

    static inline QString* speech = nullptr;
    static inline double speechSeconds = 0;
    QByteArray oldPath, oldDeps, oldLibraryPath;
    bool hadLibraryPath = false;
    QTemporaryDir toolDir;
    QTemporaryDir emptyDir;
    QString model;
    WhisperEngine engine;
};

} // namespace

TEST_F(WhisperToolTest, TheToolGetsItsArgumentsAndEnvironment)
{
    struct Case {
        std::optional<QString> languageSetting;
        QString language;
        std::optional<QByteArray> libraryPath;
    } cases[] = {
        {std::nullopt, QStringLiteral("auto"), std::nullopt},
        {QStringLiteral("it"), QStringLiteral("it"), QByteArray("/opt/other/lib")},
        {QStringLiteral("auto"), QStringLiteral("auto"), QByteArray("")},
    };
    useRecordingTool("answer");
    for (const Case& c : cases) {
        if (c.languageSetting)
            Settings::shared().setValue(QStringLiteral("nimbrel_whisperLanguage"), *c.languageSetting);
        if (c.libraryPath)
            qputenv("LD_LIBRARY_PATH", *c.libraryPath);
        else
            qunsetenv("LD_LIBRARY_PATH");

        testing::internal::CaptureStdout();
        QFuture<Transcription> future = engine.transcribeAudioFile(*speech);
        ASSERT_TRUE(finished(future));
        const Transcription result = future.result();
        EXPECT_EQ(QString::fromStdString(testing::internal::GetCapturedStdout()), QString());

        const QStringList args = recorded("args").split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_EQ(args.size(), 11) << recorded("args").toStdString();
        const QRegularExpression base(QRegularExpression::anchoredPattern(
            QRegularExpression::escape(AppPaths::privateTempFolder())
            + QStringLiteral("/whisper_[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}")));
        EXPECT_TRUE(base.match(args[8]).hasMatch()) << args[8].toStdString();
        EXPECT_EQ(args, (QStringList{QStringLiteral("-m"), model, QStringLiteral("-f"), *speech, QStringLiteral("-l"),
                                     c.language, QStringLiteral("-oj"), QStringLiteral("-of"), args[8],
                                     QStringLiteral("-np"), QStringLiteral("-pp")}));
        EXPECT_EQ(recorded("ggml"), toolDir.filePath(QStringLiteral("libexec")));
        EXPECT_EQ(recorded("ld"), c.libraryPath && !c.libraryPath->isEmpty()
                                      ? toolDir.path() + QLatin1Char(':') + QString::fromLocal8Bit(*c.libraryPath)
                                      : toolDir.path());
        EXPECT_EQ(recorded("stdin"), QStringLiteral("/dev/null\n"));

        EXPECT_EQ(result.text, QStringLiteral("Guten Tag allerseits"));
        EXPECT_EQ(future.progressValue(), 45); // the tool's own figure
        EXPECT_EQ(result.language, QStringLiteral("DE"));
        ASSERT_EQ(result.segments.size(), 3);
        EXPECT_EQ(result.segments[1].start, 1.5);
        EXPECT_EQ(result.segments[1].end, 2.75);
        // Times past the end of the recording are brought back to its end.
        EXPECT_EQ(result.segments[2].start, 2.75);
        EXPECT_NEAR(result.segments[2].end, speechSeconds, 0.1);
        EXPECT_FALSE(QFile::exists(args[8] + QStringLiteral(".json")));
    }
}

TEST_F(WhisperToolTest, AFailingToolFallsBackToTheLibrary)
{
    struct Case {
        QByteArray mode;
        QString reason;
    } cases[] = {
        {"fail", QStringLiteral("WhisperEngine (3): model file is damaged\n")},
        // Exit status 0 without a JSON file: the tool could not read the audio.
        {"silent", QStringLiteral("WhisperEngine (-1): error: failed to read audio data\n")},
        {"garbage", QStringLiteral("WhisperEngine (-1): ")},
    };
    for (const Case& c : cases) {
        useRecordingTool(c.mode);
        testing::internal::CaptureStdout();
        QFuture<Transcription> future = engine.transcribeAudioFile(*speech);
        ASSERT_TRUE(finished(future));
        const QString printed = QString::fromStdString(testing::internal::GetCapturedStdout());
        EXPECT_TRUE(printed.contains(kFallbackLine + c.reason)) << c.mode.toStdString() << ": " << printed.toStdString();
        const Transcription result = future.result(); // from the library
        EXPECT_FALSE(result.segments.isEmpty()) << c.mode.toStdString();
        EXPECT_FALSE(result.language.isEmpty()) << c.mode.toStdString();
    }
}

TEST_F(WhisperToolTest, CancellingStopsTheToolWithinASecond)
{
    useRecordingTool("hang");
    testing::internal::CaptureStdout();
    QFuture<Transcription> future = engine.transcribeAudioFile(*speech);
    const QString pidFile = toolDir.filePath(QStringLiteral("pid"));
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return QFile::exists(pidFile); }, 10000));
    const qint64 pid = readFile(pidFile).trimmed().toLongLong();
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(engine.isTranscribing());

    QElapsedTimer clock;
    clock.start();
    future.cancel();
    ASSERT_TRUE(finished(future, 5000));
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_TRUE(future.isCanceled());
    EXPECT_EQ(future.resultCount(), 0);
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return !QFile::exists(QStringLiteral("/proc/%1").arg(pid)); }, 1000));
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return !engine.isTranscribing(); }));
    EXPECT_FALSE(QString::fromStdString(testing::internal::GetCapturedStdout()).contains(kFallbackLine));
}

TEST_F(WhisperToolTest, TheRealToolTranscribesGeneratedSpeech)
{
    const QString tool = QDir(TestEnvironment::depsDir()).filePath(QStringLiteral("whisper/bin/whisper-cli"));
    ASSERT_TRUE(QFile::exists(tool)) << tool.toStdString();
    qputenv("NIMBREL_DEPS_DIR", TestEnvironment::depsDir().toLocal8Bit());
    testing::internal::CaptureStdout();
    QFuture<Transcription> future = engine.transcribeAudioFile(*speech);
    ASSERT_TRUE(finished(future));
    const QString printed = QString::fromStdString(testing::internal::GetCapturedStdout());
    EXPECT_FALSE(printed.contains(kFallbackLine)) << printed.toStdString();

    const Transcription result = future.result();
    ASSERT_FALSE(result.segments.isEmpty());
    EXPECT_FALSE(result.language.isEmpty());
    EXPECT_EQ(future.progressValue(), 100); // its progress lines were followed
    double previousStart = -1;
    for (const TranscriptSegment& segment : result.segments) {
        EXPECT_GE(segment.start, previousStart);
        EXPECT_GE(segment.end, segment.start);
        EXPECT_LE(segment.end, speechSeconds + 0.5);
        EXPECT_FALSE(segment.text.isEmpty());
        previousStart = segment.start;
    }
}
