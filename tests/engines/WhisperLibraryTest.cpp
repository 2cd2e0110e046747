#include "audio/MP3Encoder.h"
#include "common/AppPaths.h"
#include "common/Error.h"
#include "common/Settings.h"
#include "engines/ModelLocations.h"
#include "engines/speech/WhisperEngine.h"
#include "platform/media/Mp3Decoder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <cstring>

#include <gtest/gtest.h>
#include <whisper.h>

#include "SpeechFixture.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

namespace {

const QString kFallbackLine = QStringLiteral("Whisper CLI transcription failed");

template <typename T>
bool finished(const QFuture<T>& future)
{
    return TestEnvironment::waitUntil([&] { return future.isFinished(); }, 120000);
}

// The transcription's error, or nothing when it succeeded.
std::optional<Error> errorOf(QFuture<Transcription> future)
{
    EXPECT_TRUE(finished(future));
    try {
        future.waitForFinished();
    } catch (const Error& error) {
        return error;
    }
    return std::nullopt;
}

std::atomic<int> modelLoads{0};

void countModelLoads(ggml_log_level, const char* text, void*)
{
    if (std::strstr(text, "loading model from"))
        ++modelLoads;
}

// No whisper-cli anywhere the engine looks, so it goes straight to the library.
class WhisperLibraryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        speech = new QString(QDir(AppPaths::privateTempFolder()).filePath(QStringLiteral("library-speech.mp3")));
        speechSeconds = SpeechFixture::writeSpeechMp3(
            *speech, QStringLiteral("Please send the slides before the meeting tomorrow afternoon."));
    }
    static void TearDownTestSuite() { delete speech; }

    void SetUp() override
    {
        oldPath = qgetenv("PATH");
        oldDeps = qgetenv("NIMBREL_DEPS_DIR");
        qputenv("PATH", "/usr/bin:/bin");
        qputenv("NIMBREL_DEPS_DIR", emptyDir.path().toLocal8Bit());
        Settings::shared().remove(QStringLiteral("nimbrel_whisperLanguage"));
        installModel(SpeechFixture::generatedModel(QStringLiteral("tiny-whisper.bin")));
    }

    void TearDown() override
    {
        qputenv("PATH", oldPath);
        qputenv("NIMBREL_DEPS_DIR", oldDeps);
        Settings::shared().remove(QStringLiteral("nimbrel_whisperLanguage"));
        whisper_log_set(nullptr, nullptr);
    }

    static QString modelPath()
    {
        return QDir(ModelLocations::modelsDirectory()).filePath(WhisperEngine::turboModelFileName);
    }

    static void installModel(const QString& source)
    {
        QFile::remove(modelPath());
        if (!source.isEmpty()) {
            ASSERT_TRUE(QFile::copy(source, modelPath()));
        }
    }

    static inline QString* speech = nullptr;
    static inline double speechSeconds = 0;
    QByteArray oldPath, oldDeps;
    QTemporaryDir emptyDir;
    QTemporaryDir files;
};

} // namespace

TEST_F(WhisperLibraryTest, TranscribesInProcessWhenThereIsNoTool)
{
    struct Case {
        QString languageSetting; // empty: never set
        QString language;        // empty: any detected one
    } cases[] = {
        {QString(), QString()},
        {QStringLiteral("auto"), QString()},
        {QStringLiteral("it"), QStringLiteral("IT")},
    };
    WhisperEngine engine;
    for (const Case& c : cases) {
        if (!c.languageSetting.isEmpty())
            Settings::shared().setValue(QStringLiteral("nimbrel_whisperLanguage"), c.languageSetting);
        testing::internal::CaptureStdout();
        QFuture<Transcription> future = engine.transcribeAudioFile(*speech);
        ASSERT_TRUE(finished(future));
        EXPECT_FALSE(QString::fromStdString(testing::internal::GetCapturedStdout()).contains(kFallbackLine));
        const Transcription result = future.result();
        ASSERT_FALSE(result.segments.isEmpty());
        if (c.language.isEmpty()) {
            EXPECT_EQ(result.language.size(), 2) << result.language.toStdString();
        } else {
            EXPECT_EQ(result.language, c.language);
        }
        QStringList texts;
        double previousStart = -1;
        for (const TranscriptSegment& segment : result.segments) {
            EXPECT_GE(segment.start, previousStart);
            EXPECT_GE(segment.end, segment.start);
            EXPECT_LE(segment.end, speechSeconds + 0.5);
            EXPECT_EQ(segment.text, segment.text.trimmed());
            texts << segment.text;
            previousStart = segment.start;
        }
        EXPECT_EQ(result.text, texts.join(QLatin1Char(' ')));
        EXPECT_GT(future.progressValue(), 0); // whisper.cpp's own figure
    }
    EXPECT_EQ(QDir(AppPaths::privateTempFolder()).entryList({QStringLiteral("whisper_*")}, QDir::Files), QStringList());
}

TEST_F(WhisperLibraryTest, ReportsEmptyAudioAMissingModelAndAMissingFile)
{
    const QString empty = files.filePath(QStringLiteral("empty.mp3"));
    QFile(empty).open(QIODevice::WriteOnly);
    const QString noFrames = files.filePath(QStringLiteral("no-frames.mp3"));
    MP3Encoder(noFrames).finish();
    const QString text = files.filePath(QStringLiteral("notes.mp3"));
    TestFiles::writeFile(text, QByteArray("These are meeting notes, not audio.\n").repeated(50));

    struct Case {
        const char* name;
        QString audio;
        bool withModel;
        QString domain;
        int code;
        QString message; // empty: any
    } cases[] = {
        {"empty file", empty, true, QStringLiteral("WhisperEngine"), -3, QStringLiteral("No audio data decoded from file.")},
        {"no frames", noFrames, true, QStringLiteral("WhisperEngine"), -3, QStringLiteral("No audio data decoded from file.")},
        {"not audio", text, true, QStringLiteral("WhisperEngine"), -3, QStringLiteral("No audio data decoded from file.")},
        {"no model", *speech, false, QStringLiteral("WhisperEngine"), -5,
         QStringLiteral("Speech recognition model is not downloaded.")},
        {"no file", files.filePath(QStringLiteral("gone.mp3")), true, QStringLiteral("Mp3Decoder"), -1, QString()},
    };
    for (const Case& c : cases) {
        installModel(c.withModel ? SpeechFixture::generatedModel(QStringLiteral("tiny-whisper.bin")) : QString());
        WhisperEngine engine;
        const auto error = errorOf(engine.transcribeAudioFile(c.audio));
        ASSERT_TRUE(error) << c.name;
        EXPECT_EQ(error->domain(), c.domain) << c.name;
        EXPECT_EQ(error->code(), c.code) << c.name;
        if (!c.message.isEmpty()) {
            EXPECT_EQ(error->message(), c.message) << c.name;
        } else {
            EXPECT_FALSE(error->message().isEmpty()) << c.name;
        }
    }
}

TEST_F(WhisperLibraryTest, TranscriptionsStartedTogetherLoadTheModelOnce)
{
    modelLoads = 0;
    whisper_log_set(&countModelLoads, nullptr);
    WhisperEngine engine;
    QList<bool> transcribing;
    QObject::connect(&engine, &WhisperEngine::isTranscribingChanged, &engine,
                     [&](bool value) { transcribing.append(value); });
    QFuture<Transcription> first = engine.transcribeAudioFile(*speech);
    QFuture<Transcription> second = engine.transcribeAudioFile(*speech);
    ASSERT_TRUE(finished(first));
    ASSERT_TRUE(finished(second));
    EXPECT_FALSE(first.result().segments.isEmpty());
    EXPECT_FALSE(second.result().segments.isEmpty());
    EXPECT_EQ(modelLoads.load(), 1);
    // True while either runs, false once both have ended.
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return !engine.isTranscribing(); }));
    EXPECT_EQ(transcribing, (QList<bool>{true, false}));
}

TEST_F(WhisperLibraryTest, AFailedModelLoadIsRetriedByTheNextTranscription)
{
    const QString broken = files.filePath(QStringLiteral("broken.bin"));
    TestFiles::writeFile(broken, "lmgg and then nothing a model needs");
    installModel(broken);

    WhisperEngine engine;
    const auto error = errorOf(engine.transcribeAudioFile(*speech));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), -5);

    installModel(SpeechFixture::generatedModel(QStringLiteral("tiny-whisper.bin")));
    QFuture<Transcription> retry = engine.transcribeAudioFile(*speech);
    ASSERT_TRUE(finished(retry));
    EXPECT_FALSE(retry.result().segments.isEmpty());
}

TEST_F(WhisperLibraryTest, LoadModelReportsLoadingThenReadyOrError)
{
    WhisperEngine engine;
    QList<WhisperModelState> states;
    QObject::connect(&engine, &WhisperEngine::modelStateChanged, &engine,
                     [&](const WhisperModelState& state) { states.append(state); });
    testing::internal::CaptureStdout();
    engine.loadModel(modelPath());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return states.size() >= 2; }, 30000));
    EXPECT_EQ(QString::fromStdString(testing::internal::GetCapturedStdout()),
              QStringLiteral("Whisper engine initialized successfully with: ggml-large-v3-turbo-q5_0.bin\n"));
    EXPECT_EQ(states, (QList<WhisperModelState>{WhisperModelState::loading(),
                                                WhisperModelState::ready(WhisperEngine::turboModelFileName)}));

    states.clear();
    engine.loadModel(files.filePath(QStringLiteral("missing.bin")));
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return states.size() >= 2; }, 30000));
    EXPECT_EQ(states, (QList<WhisperModelState>{WhisperModelState::loading(),
                                                WhisperModelState::error(QStringLiteral("Failed to load model file."))}));
}

TEST_F(WhisperLibraryTest, LiveSessionRunsChunksOnTheLoadedModel)
{
    WhisperEngine engine;
    engine.loadModel(modelPath());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return engine.modelState().is(WhisperModelState::Case::ready); }, 60000));

    // The spoken fixture as the mixer hands out audio: 44.1 kHz stereo, in
    // pieces of a second, repeated to four seconds.
    Mp3Decoder decoder;
    ASSERT_TRUE(decoder.open(*speech, Mp3Decoder::SampleFormat::Int16, Mp3Decoder::Channels::Stereo));
    std::vector<int16_t> audio(static_cast<size_t>(decoder.lengthFrames()) * 2);
    ASSERT_GT(decoder.read(audio.data(), decoder.lengthFrames()), 0);
    while (audio.size() < 4 * 88200)
        audio.insert(audio.end(), audio.begin(), audio.begin() + std::min<size_t>(audio.size(), 4 * 88200 - audio.size()));

    LiveTranscriptionSession& session = engine.liveSession();
    engine.startLiveSession();
    for (size_t second = 0; second < 4; ++second)
        engine.feedAudio(std::vector<int16_t>(audio.begin() + second * 88200, audio.begin() + (second + 1) * 88200));
    EXPECT_EQ(session.lastTranscribedSampleCount(), 48000);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !session.liveSegments().isEmpty(); }, 120000));
    for (const TranscriptSegment& segment : session.liveSegments())
        EXPECT_LE(segment.start, 3.5); // seconds from the chunk's start
    EXPECT_EQ(session.detectedLanguage().size(), 2);

    QFuture<Transcription> stopped = engine.stopLiveSession();
    ASSERT_TRUE(finished(stopped));
    EXPECT_FALSE(stopped.result().segments.isEmpty());
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return session.liveSegments().isEmpty(); }));
    EXPECT_EQ(session.bufferedSamples(), 0);
}
