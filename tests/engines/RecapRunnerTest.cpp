#include "common/AppPaths.h"
#include "common/Error.h"
#include "engines/recap/RecapEngine.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>

#include <gtest/gtest.h>

namespace {

// The runner's process: the one whose arguments name our model file.
pid_t findRunner()
{
    const QByteArray model = RecapEngine::modelPath().toLocal8Bit();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const pid_t pid = entry.toInt(&isPid);
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (isPid && cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().split('\0').contains(model))
            return pid;
    }
    return 0;
}

// The tiny model for the bundled runner, installed as the recap model.
class RecapRunnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString runner = QDir(TestEnvironment::depsDir()).filePath(QStringLiteral("llama/bin/llama-completion"));
        ASSERT_TRUE(QFileInfo(runner).isExecutable()) << "scripts/setup builds " << runner.toStdString();
        const QString model =
            QDir(TestEnvironment::binaryDir()).filePath(QStringLiteral("tests/engines/tiny-llama.gguf"));
        ASSERT_TRUE(QFileInfo::exists(model)) << model.toStdString();
        QFile::remove(RecapEngine::modelPath());
        ASSERT_TRUE(QFile::link(model, RecapEngine::modelPath()));
        // The runner's OpenMP threads spin while they wait; with other tests
        // sharing the cores that slows generation a thousandfold.
        qputenv("OMP_WAIT_POLICY", "passive");
    }
    void TearDown() override { QFile::remove(RecapEngine::modelPath()); }
};

const QString kTranscript = QStringLiteral(
    "Good morning. We decided the launch is on Friday, so we prepare the notes for next week's review meeting.");

} // namespace

// The bundled llama-completion on the tiny generated model: its words are
// meaningless, but they go all the way through prompt file, runner and cleaning.
TEST_F(RecapRunnerTest, RealRunnerReturnsCleanedText)
{
    RecapEngine engine;
    QFuture<QString> future = engine.generateRecap(kTranscript, RecordingType::meeting);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return future.isFinished(); }, 120000));
    QString recap;
    try {
        recap = future.result();
    } catch (const Error& error) {
        FAIL() << error.message().toStdString();
    }
    EXPECT_FALSE(recap.isEmpty());
    EXPECT_EQ(recap, recap.trimmed());
    EXPECT_EQ(recap, RecapEngine::cleanMarkdownOutput(recap)) << "nothing left to clean";
    for (const char* leftover : {"<start_of_turn>", "llama_perf_", "Exiting...", "[ Prompt:"})
        EXPECT_FALSE(recap.contains(QLatin1String(leftover))) << leftover;
    EXPECT_TRUE(QDir(AppPaths::privateTempFolder()).entryList({QStringLiteral("recap_prompt_*")}, QDir::Files).isEmpty());
}

TEST_F(RecapRunnerTest, ARunnerKilledMidwayGivesAnError)
{
    RecapEngine engine;
    QFuture<QString> future = engine.generateRecap(kTranscript, RecordingType::meeting);
    pid_t runner = 0;
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return (runner = findRunner()) != 0 || future.isFinished(); }, 10000));
    ASSERT_NE(runner, 0) << "the runner ended before it could be killed";
    ::kill(runner, SIGKILL);

    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return future.isFinished(); }, 10000));
    try {
        const QString recap = future.result();
        FAIL() << "a killed runner's partial output came back as a recap: " << recap.toStdString();
    } catch (const Error& error) {
        EXPECT_EQ(error.domain(), QStringLiteral("RecapEngine"));
        EXPECT_EQ(error.code(), SIGKILL);
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("Llama failed: "))) << error.message().toStdString();
    }
    EXPECT_TRUE(QDir(AppPaths::privateTempFolder()).entryList({QStringLiteral("recap_prompt_*")}, QDir::Files).isEmpty());
}
