#include "common/AppPaths.h"
#include "common/Error.h"
#include "engines/recap/RecapEngine.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

// The bundled llama-completion on the tiny generated model: its words are
// meaningless, but they go all the way through prompt file, runner and cleaning.
TEST(RecapRunner, RealRunnerReturnsCleanedText)
{
    const QString runner = QDir(TestEnvironment::depsDir()).filePath(QStringLiteral("llama/bin/llama-completion"));
    ASSERT_TRUE(QFileInfo(runner).isExecutable()) << "scripts/setup builds " << runner.toStdString();
    const QString model = QDir(TestEnvironment::binaryDir()).filePath(QStringLiteral("tests/engines/tiny-llama.gguf"));
    ASSERT_TRUE(QFileInfo::exists(model)) << model.toStdString();
    QFile::remove(RecapEngine::modelPath());
    ASSERT_TRUE(QFile::link(model, RecapEngine::modelPath()));

    RecapEngine engine;
    for (const bool italian : {false, true}) {
        const QString transcript = italian
            ? QStringLiteral("Buongiorno a tutti. Abbiamo deciso che il lancio sarà venerdì, quindi "
                             "prepariamo le note per la riunione della prossima settimana.")
            : QStringLiteral("Good morning. We decided the launch is on Friday, so we prepare the notes "
                             "for next week's review meeting.");
        QFuture<QString> future = engine.generateRecap(transcript, RecordingType::meeting);
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
    }
    EXPECT_TRUE(QDir(AppPaths::privateTempFolder()).entryList({QStringLiteral("recap_prompt_*")}, QDir::Files).isEmpty());
    QFile::remove(RecapEngine::modelPath());
}
