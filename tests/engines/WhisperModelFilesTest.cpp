#include "common/AppPaths.h"
#include "engines/speech/WhisperEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

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

// A model copied into the folder while the app runs is offered at once, and
// one taken away is missed.
TEST_F(WhisperModelFilesTest, TheStateFollowsModelFilesPutInAndTakenOut)
{
    WhisperEngine engine;
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return engine.modelState() == WhisperModelState::notDownloaded(); }));
    const QDir folder(newModels());
    const struct Step {
        const char* name;
        std::function<void()> change;
        WhisperModelState state;
    } steps[] = {
        {"the full model copied in", [&] { touch(folder.filePath(WhisperEngine::fullModelFileName)); },
         WhisperModelState::ready(WhisperEngine::fullModelFileName)},
        {"the turbo model beside it", [&] { touch(folder.filePath(WhisperEngine::turboModelFileName)); },
         WhisperModelState::ready(WhisperEngine::turboModelFileName)},
        {"the turbo model deleted", [&] { QFile::remove(folder.filePath(WhisperEngine::turboModelFileName)); },
         WhisperModelState::ready(WhisperEngine::fullModelFileName)},
        {"the full model renamed away",
         [&] { QFile::rename(folder.filePath(WhisperEngine::fullModelFileName), folder.filePath("old.bin")); },
         WhisperModelState::notDownloaded()},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.change();
        EXPECT_TRUE(TestEnvironment::waitUntil([&] { return engine.modelState() == step.state; }, 2000))
            << engine.modelState().message.toStdString();
    }
}

TEST_F(WhisperModelFilesTest, AFailedLoadKeepsItsMessageUntilAModelAppears)
{
    const QString broken = QDir(AppPaths::appFolder()).filePath(QStringLiteral("broken.bin"));
    TestFiles::writeFile(broken, "lmgg and then nothing a model needs");
    WhisperEngine engine;
    engine.loadModel(broken);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return engine.modelState().is(WhisperModelState::Case::error); }, 30000));

    touch(QDir(newModels()).filePath(QStringLiteral("notes.txt")));
    TestEnvironment::waitUntil([] { return false; }, 200);
    EXPECT_TRUE(engine.modelState().is(WhisperModelState::Case::error)) << "an unrelated file changes nothing";

    touch(QDir(newModels()).filePath(WhisperEngine::turboModelFileName));
    EXPECT_TRUE(TestEnvironment::waitUntil(
        [&] { return engine.modelState() == WhisperModelState::ready(WhisperEngine::turboModelFileName); }, 2000));
}
