#include "common/AppPaths.h"
#include "engines/speech/WhisperEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

namespace {

QString newModels()
{
    return QDir(AppPaths::appFolder()).filePath(QStringLiteral("Models"));
}

QString legacyModels()
{
    return QDir(AppPaths::legacyAppFolder()).filePath(QStringLiteral("Models"));
}

void touch(const QString& path)
{
    TestFiles::writeFile(path, {});
}

class WhisperModelFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir(AppPaths::appFolder()).removeRecursively();
        QDir(AppPaths::legacyAppFolder()).removeRecursively();
    }

    // A new engine's state once its first check has been published.
    static WhisperModelState stateOfNewEngine()
    {
        WhisperEngine engine;
        TestEnvironment::waitUntil([] { return false; }, 50);
        return engine.modelState();
    }
};

} // namespace

TEST_F(WhisperModelFilesTest, TheTurboModelIsPreferredThenTheFullOne)
{
    struct Case {
        QStringList present;
        QString chosen; // empty: none
    } cases[] = {
        {{}, QString()},
        {{WhisperEngine::fullModelFileName}, WhisperEngine::fullModelFileName},
        {{WhisperEngine::turboModelFileName}, WhisperEngine::turboModelFileName},
        {{WhisperEngine::fullModelFileName, WhisperEngine::turboModelFileName}, WhisperEngine::turboModelFileName},
        {{QStringLiteral("ggml-base.bin")}, QString()},
    };
    for (const Case& c : cases) {
        QDir(newModels()).removeRecursively();
        for (const QString& name : c.present)
            touch(QDir(newModels()).filePath(name));
        WhisperEngine engine;
        const auto preferred = engine.preferredModelURL();
        if (c.chosen.isEmpty()) {
            EXPECT_FALSE(preferred) << c.present.join(',').toStdString();
            EXPECT_EQ(stateOfNewEngine(), WhisperModelState::notDownloaded());
        } else {
            EXPECT_EQ(preferred.value_or(QString()), QDir(newModels()).filePath(c.chosen));
            EXPECT_EQ(stateOfNewEngine(), WhisperModelState::ready(c.chosen));
        }
    }
}

TEST_F(WhisperModelFilesTest, TheEarlierFolderServesOnlyWhileTheNewOneIsMissing)
{
    touch(QDir(legacyModels()).filePath(WhisperEngine::fullModelFileName));
    WhisperEngine engine;
    EXPECT_EQ(engine.modelsDirectory(), legacyModels());
    EXPECT_FALSE(QFileInfo::exists(newModels()));
    EXPECT_EQ(stateOfNewEngine(), WhisperModelState::ready(WhisperEngine::fullModelFileName));

    QDir().mkpath(newModels());
    EXPECT_EQ(engine.modelsDirectory(), newModels());
    EXPECT_FALSE(engine.preferredModelURL());
}

TEST_F(WhisperModelFilesTest, TheNewFolderIsCreatedWhenNeitherExists)
{
    WhisperEngine engine;
    EXPECT_EQ(engine.modelsDirectory(), newModels());
    EXPECT_TRUE(QFileInfo(newModels()).isDir());
}
