#include "common/AppPaths.h"
#include "engines/recap/RecapEngine.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// Each case starts with neither the current nor the legacy app folder.
class RecapModelTest : public ::testing::Test {
protected:
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }

    static void clear()
    {
        QDir(current()).removeRecursively();
        QDir(legacy()).removeRecursively();
    }
    static QString current() { return QDir(AppPaths::applicationSupportFolder()).filePath(QStringLiteral("Nimbrel")); }
    static QString legacy()
    {
        return QDir(AppPaths::applicationSupportFolder()).filePath(QStringLiteral("CorvelleEnhanced"));
    }
};

} // namespace

TEST_F(RecapModelTest, ModelsFolderPrefersTheCurrentOneAndKeepsALegacyOne)
{
    const QString currentModels = QDir(current()).filePath(QStringLiteral("Models"));
    const QString legacyModels = QDir(legacy()).filePath(QStringLiteral("Models"));

    // Neither: the current folder is made.
    EXPECT_EQ(RecapEngine::modelsDirectory(), currentModels);
    EXPECT_TRUE(QFileInfo(currentModels).isDir());
    clear();

    // Only the legacy folder: used as it is, nothing new is made.
    QDir().mkpath(legacyModels);
    EXPECT_EQ(RecapEngine::modelsDirectory(), legacyModels);
    EXPECT_EQ(RecapEngine::modelPath(), QDir(legacyModels).filePath(QStringLiteral("gemma-3-1b-it-Q4_K_M.gguf")));
    EXPECT_FALSE(QFileInfo::exists(current()));

    // Both: the current one wins.
    QDir().mkpath(currentModels);
    EXPECT_EQ(RecapEngine::modelsDirectory(), currentModels);
}

TEST_F(RecapModelTest, StateAfterStartFollowsTheModelFile)
{
    {
        RecapEngine engine;
        QSignalSpy changed(&engine, &RecapEngine::modelStateChanged);
        EXPECT_FALSE(RecapEngine::isModelReady());
        TestEnvironment::waitUntil([] { return false; }, 50);
        EXPECT_EQ(engine.modelState(), RecapModelState::notDownloaded());
    }

    QFile model(RecapEngine::modelPath());
    ASSERT_TRUE(model.open(QIODevice::WriteOnly)); // only existence counts
    model.close();
    RecapEngine engine;
    QSignalSpy changed(&engine, &RecapEngine::modelStateChanged);
    EXPECT_EQ(engine.modelState(), RecapModelState::notDownloaded()) << "published from the event loop";
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return changed.count() == 1; }));
    EXPECT_EQ(engine.modelState(), RecapModelState::ready(QStringLiteral("gemma-3-1b-it-Q4_K_M.gguf")));
    EXPECT_TRUE(RecapEngine::isModelReady());
}

TEST_F(RecapModelTest, AModelCopiedInOrTakenOutIsNoticedWithinTwoSeconds)
{
    RecapEngine engine;
    TestEnvironment::waitUntil([] { return false; }, 50);
    ASSERT_EQ(engine.modelState(), RecapModelState::notDownloaded());

    // Copied in by hand: written under another name, then renamed, as a file
    // manager does, and also written in place.
    const QString partial = QDir(RecapEngine::modelsDirectory()).filePath(QStringLiteral("copy.part"));
    QFile file(partial);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("GGUF");
    file.close();
    ASSERT_TRUE(QFile::rename(partial, RecapEngine::modelPath()));
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return engine.modelState().isReady(); }, 2000));

    ASSERT_TRUE(QFile::remove(RecapEngine::modelPath()));
    EXPECT_TRUE(TestEnvironment::waitUntil(
        [&] { return engine.modelState() == RecapModelState::notDownloaded(); }, 2000));

    QFile inPlace(RecapEngine::modelPath());
    ASSERT_TRUE(inPlace.open(QIODevice::WriteOnly));
    inPlace.close();
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return engine.modelState().isReady(); }, 2000));
}
