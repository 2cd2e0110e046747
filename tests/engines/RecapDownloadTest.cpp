#include "common/AppPaths.h"
#include "engines/recap/RecapEngine.h"

#include "support/LoopbackHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

const QString kModelPath = QStringLiteral("/ggml-org/gemma-3-1b-it-GGUF/resolve/main/gemma-3-1b-it-Q4_K_M.gguf");

using TestFiles::readFile;
using TestFiles::writeFile;

// The engine's model host is a loopback server; the app folders start empty.
class RecapDownloadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        clearFolders();
        qputenv("NIMBREL_MODEL_HOST", server.url(QString()).toString().toUtf8());
    }
    void TearDown() override { clearFolders(); }

    static void clearFolders()
    {
        const QDir support(AppPaths::applicationSupportFolder());
        QDir(support.filePath(QStringLiteral("Nimbrel"))).removeRecursively();
        QDir(support.filePath(QStringLiteral("CorvelleEnhanced"))).removeRecursively();
    }

    // Keeps every state the engine publishes, in order, in `published`.
    void follow(RecapEngine& engine)
    {
        QObject::connect(&engine, &RecapEngine::modelStateChanged, &engine,
                         [&engine, this] { published.append(engine.modelState()); });
    }

    bool settled(const RecapEngine& engine) const { return !engine.modelState().isDownloading(); }

    LoopbackHttpServer server;
    QList<RecapModelState> published;
};

} // namespace

TEST_F(RecapDownloadTest, DownloadsTheModelIntoTheModelsFolder)
{
    const QByteArray model = QByteArrayLiteral("GGUF") + QByteArray(256 * 1024, '\x07');
    server.setBody(kModelPath, model);
    RecapEngine engine;
    TestEnvironment::waitUntil([] { return false; }, 20); // the start-up state
    follow(engine);

    engine.downloadModel();
    engine.downloadModel(); // already downloading: ignored
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return settled(engine); }, 10000));

    // Connecting, then the figures of the transfer as it goes, then ready.
    ASSERT_GE(published.size(), 3);
    EXPECT_EQ(published.first(), RecapModelState::downloading(0.0, QStringLiteral("Connecting to Hugging Face...")));
    EXPECT_EQ(published.at(1), RecapModelState::downloading(0.1, QStringLiteral("Downloading AI Summary Model...")));
    double last = 0.1;
    for (qsizetype i = 2; i + 1 < published.size(); ++i) {
        EXPECT_TRUE(published.at(i).isDownloading());
        EXPECT_EQ(published.at(i).message(), QStringLiteral("Downloading AI Summary Model..."));
        EXPECT_GT(published.at(i).progress(), last);
        last = published.at(i).progress();
    }
    EXPECT_GT(last, 0.1);
    EXPECT_EQ(published.last(), RecapModelState::ready(QStringLiteral("gemma-3-1b-it-Q4_K_M.gguf")));
    EXPECT_EQ(readFile(RecapEngine::modelPath()), model);
    EXPECT_EQ(server.requestedPaths(), QStringList{kModelPath});
    EXPECT_TRUE(RecapEngine::isModelReady());
}

TEST_F(RecapDownloadTest, AFailedDownloadKeepsTheOldModel)
{
    struct Case {
        const char* name;
        LoopbackHttpServer::Response response;
    } cases[] = {
        {"not found", {404, "text/plain", "Not Found", {}, -1, false}},
        {"an error page with status 200", {200, "text/html", "<html>Sign in</html>", {}, -1, false}},
        {"not a GGUF file", {200, "application/octet-stream", "PK\x03\x04zip", {}, -1, false}},
        {"cut short", {200, "application/octet-stream", QByteArray("GGUF") + QByteArray(4096, 'x'), {}, 100, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(RecapEngine::modelPath(), "GGUF the old model");
        server.setResponse(kModelPath, c.response);
        RecapEngine engine;
        engine.downloadModel();
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return settled(engine); }, 10000));
        EXPECT_EQ(engine.modelState().kind(), RecapModelState::Kind::error);
        EXPECT_TRUE(engine.modelState().message().startsWith(QStringLiteral("Download failed: ")))
            << engine.modelState().message().toStdString();
        EXPECT_GT(engine.modelState().message().size(), QStringLiteral("Download failed: ").size());
        EXPECT_EQ(readFile(RecapEngine::modelPath()), "GGUF the old model");

        // A new request is taken after a failure.
        server.setBody(kModelPath, "GGUF new");
        engine.downloadModel();
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return settled(engine); }, 10000));
        EXPECT_TRUE(engine.modelState().isReady());
        EXPECT_EQ(readFile(RecapEngine::modelPath()), "GGUF new");
    }
}

TEST_F(RecapDownloadTest, OnlyALegacyFolderReceivesTheModelThere)
{
    const QDir support(AppPaths::applicationSupportFolder());
    const QString legacyModels = support.filePath(QStringLiteral("CorvelleEnhanced/Models"));
    QDir().mkpath(legacyModels);
    server.setBody(kModelPath, "GGUF legacy");
    RecapEngine engine;
    engine.downloadModel();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return settled(engine); }, 10000));
    EXPECT_TRUE(engine.modelState().isReady());
    EXPECT_EQ(readFile(QDir(legacyModels).filePath(QStringLiteral("gemma-3-1b-it-Q4_K_M.gguf"))), "GGUF legacy");
    EXPECT_FALSE(QFileInfo::exists(support.filePath(QStringLiteral("Nimbrel"))));
}
