// The voice enhancer on real files: lengths, where it writes, and what a
// failure or a cancellation leaves behind.

#include "audio/FileSizeLimit.h"
#include "audio/ToneFiles.h"
#include "common/Error.h"
#include "engines/enhancer/VoiceEnhancerEngine.h"
#include "support/TestFiles.h"
#include "support/WithoutFilePrivileges.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

class VoiceEnhancerEngineTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Files in the folder whose name starts like the enhancer's temporary files.
    QStringList temporaryFiles(const QString& folder = {}) const
    {
        return QDir(folder.isEmpty() ? m_dir.path() : folder)
            .entryList({QStringLiteral(".enh_temp_*")}, QDir::Files | QDir::Hidden);
    }

    // Runs the rendering on this thread; the error it throws, if any.
    static std::optional<Error> enhanceError(const QString& source, const QString& destination,
                                             const std::function<bool()>& isCancelled = {})
    {
        try {
            VoiceEnhancerEngine::processOffline(source, destination, isCancelled);
        } catch (const Error& error) {
            return error;
        }
        return std::nullopt;
    }

    QTemporaryDir m_dir;
};

struct LengthCase {
    const char* name;
    int sampleRate;
    int channels;
};

class EnhancedLength : public VoiceEnhancerEngineTest, public ::testing::WithParamInterface<LengthCase> { };

// The copy is the source's length at 44.1 kHz, and its audio lines up with
// the source's: the chain's delay is taken out again.
TEST_P(EnhancedLength, MatchesTheSourceWithinOneFrame)
{
    const LengthCase c = GetParam();
    const QString source = path(QStringLiteral("source.mp3"));
    ToneFiles::write(source, {{1.5, 440}, {1.5, 880}}, c.sampleRate, c.channels);
    const QString destination = path(QStringLiteral("source_enhanced.mp3"));
    ASSERT_EQ(enhanceError(source, destination), std::nullopt);

    const ToneFiles::Decoded in = ToneFiles::decode(source);
    const ToneFiles::Decoded out = ToneFiles::decode(destination);
    ASSERT_EQ(out.sampleRate, 44100);
    ASSERT_EQ(out.channels, 2);
    const auto expected = static_cast<int64_t>(44100.0 / in.sampleRate * double(in.frames()));
    EXPECT_LE(std::abs(out.frames() - expected), 1152) << out.frames() << " vs " << expected;

    // The encoder itself delays its output by about 24 ms; the chain's own
    // lag (about 24 ms more) must not show.
    const double shift = ToneFiles::changeTime(out, 440, 880) - ToneFiles::changeTime(in, 440, 880);
    EXPECT_GE(shift, 0.0);
    EXPECT_LT(shift, 0.036);
    EXPECT_TRUE(temporaryFiles().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Sources, EnhancedLength,
                         ::testing::Values(LengthCase{"Stereo44100", 44100, 2}, LengthCase{"Stereo48000", 48000, 2},
                                           LengthCase{"Mono22050", 22050, 1}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(VoiceEnhancerEngineTest, MissingSourceIs404AndWritesNothing)
{
    const QString source = path(QStringLiteral("gone.mp3"));
    const std::optional<Error> error = enhanceError(source, path(QStringLiteral("gone_enhanced.mp3")));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), QStringLiteral("VoiceEnhancerEngine"));
    EXPECT_EQ(error->code(), 404);
    EXPECT_EQ(error->message(), QStringLiteral("Source file not found at ") + source);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

TEST_F(VoiceEnhancerEngineTest, SourceThatIsNoAudioFailsWithItsName)
{
    const QString source = path(QStringLiteral("notes.mp3"));
    TestFiles::writeFile(source, QByteArray(4096, 'x'));
    const std::optional<Error> error = enhanceError(source, path(QStringLiteral("notes_enhanced.mp3")));
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->message().contains(QStringLiteral("notes.mp3"))) << error->message().toStdString();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("notes_enhanced.mp3"))));
    EXPECT_TRUE(temporaryFiles().isEmpty());
}

TEST_F(VoiceEnhancerEngineTest, ExistingDestinationIsReplacedWhole)
{
    const QString source = path(QStringLiteral("talk.mp3"));
    ToneFiles::write(source, {{2, 300}});
    const QString destination = path(QStringLiteral("talk_enhanced.mp3"));
    TestFiles::writeFile(destination, QByteArray(100000, 'o'));
    ASSERT_EQ(enhanceError(source, destination), std::nullopt);
    EXPECT_NEAR(ToneFiles::decode(destination).seconds(), ToneFiles::decode(source).seconds(), 1152.0 / 44100);
}

// The encoder cannot write: the old copy stays as it was and nothing is left over.
struct EncoderFailureCase {
    const char* name;
    bool fullDisk; // else a folder the user may not write to
};

class EncoderFailure : public VoiceEnhancerEngineTest, public ::testing::WithParamInterface<EncoderFailureCase> { };

TEST_P(EncoderFailure, LeavesTheDestinationAndNoTemporaryFile)
{
    const QString source = path(QStringLiteral("long.mp3"));
    ToneFiles::write(source, {{8, 220}});
    const QString folder = path(QStringLiteral("library"));
    QDir().mkpath(folder);
    const QString destination = QDir(folder).filePath(QStringLiteral("long_enhanced.mp3"));
    const QByteArray earlier(3000, 'e');
    TestFiles::writeFile(destination, earlier);

    std::optional<Error> error;
    if (GetParam().fullDisk) {
        // The source is about 190 kB at 192 kbit/s; the cap stops the copy halfway.
        FileSizeLimit limit(100000);
        error = enhanceError(source, destination);
    } else {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        WithoutFilePrivileges asUser;
        error = enhanceError(source, destination);
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(error);
    EXPECT_EQ(TestFiles::readFile(destination), earlier);
    EXPECT_TRUE(temporaryFiles(folder).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Causes, EncoderFailure,
                         ::testing::Values(EncoderFailureCase{"FullDisk", true},
                                           EncoderFailureCase{"ReadOnlyFolder", false}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(VoiceEnhancerEngineTest, CancellationBetweenBlocksRemovesTheTemporaryFile)
{
    const QString source = path(QStringLiteral("meeting.mp3"));
    ToneFiles::write(source, {{5, 440}});
    const QString destination = path(QStringLiteral("meeting_enhanced.mp3"));
    int checks = 0;
    bool sawTemporaryFile = false;
    const std::optional<Error> error = enhanceError(source, destination, [&] {
        sawTemporaryFile = sawTemporaryFile || !temporaryFiles().isEmpty();
        return ++checks == 10;
    });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), CancelledError().domain());
    EXPECT_EQ(checks, 10);
    EXPECT_TRUE(sawTemporaryFile);
    EXPECT_FALSE(QFile::exists(destination));
    EXPECT_TRUE(temporaryFiles().isEmpty());
}

TEST_F(VoiceEnhancerEngineTest, CancelledFutureEndsCancelledAndLeavesNothing)
{
    const QString source = path(QStringLiteral("hour.mp3"));
    ToneFiles::write(source, {{60, 440}});
    const QString destination = path(QStringLiteral("hour_enhanced.mp3"));
    VoiceEnhancerEngine engine;
    QFuture<void> future = engine.enhanceAudioFile(source, destination);
    future.cancel();
    future.waitForFinished();
    EXPECT_TRUE(future.isCanceled());
    // The queue is serial: once a later run ended, the cancelled one has too.
    engine.enhanceAudioFile(path(QStringLiteral("none.mp3")), path(QStringLiteral("none_enhanced.mp3")))
        .onFailed([](const Error&) {})
        .waitForFinished();
    EXPECT_FALSE(QFile::exists(destination));
    EXPECT_TRUE(temporaryFiles().isEmpty());
}

TEST_F(VoiceEnhancerEngineTest, FutureDeliversTheCopy)
{
    const QString source = path(QStringLiteral("memo.mp3"));
    ToneFiles::write(source, {{1, 500}}, 48000, 2);
    VoiceEnhancerEngine engine;
    QFuture<void> future = engine.enhanceAudioFile(source, path(QStringLiteral("memo_enhanced.mp3")));
    future.waitForFinished();
    EXPECT_FALSE(future.isCanceled());
    EXPECT_GT(ToneFiles::decode(path(QStringLiteral("memo_enhanced.mp3"))).frames(), 44100 - 1152);
}

} // namespace
