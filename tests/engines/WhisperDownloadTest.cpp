#include "engines/speech/WhisperEngine.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "support/LoopbackHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

namespace {

using TestFiles::readFile;
using TestFiles::writeFile;

const QString kModelPath = QStringLiteral("/ggerganov/whisper.cpp/resolve/main/ggml-large-v3-turbo-q5_0.bin");

QByteArray modelBytes(qsizetype size)
{
    QByteArray bytes("lmgg");
    bytes.resize(size, '\x07');
    return bytes;
}

class WhisperDownloadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("NIMBREL_MODEL_HOST", server.url(QString()).toString().toUtf8());
        QDir(engine.modelsDirectory()).removeRecursively();
        QObject::connect(&engine, &WhisperEngine::modelStateChanged, &engine,
                         [this](const WhisperModelState& state) { states.append(state); });
    }
    void TearDown() override { qunsetenv("NIMBREL_MODEL_HOST"); }

    QString destination() const { return QDir(engine.modelsDirectory()).filePath(WhisperEngine::turboModelFileName); }

    bool waitForEnd()
    {
        return TestEnvironment::waitUntil([this] {
            return !engine.modelState().is(WhisperModelState::Case::downloading);
        }, 20000);
    }

    LoopbackHttpServer server;
    WhisperEngine engine;
    QList<WhisperModelState> states;
};

} // namespace

TEST_F(WhisperDownloadTest, DownloadsIntoTheModelsFolderWithProgress)
{
    const QByteArray body = modelBytes(4 * 1024 * 1024);
    server.setBody(kModelPath, body);
    engine.downloadTurboModel();
    engine.downloadTurboModel(); // ignored while the first runs
    ASSERT_TRUE(waitForEnd());

    EXPECT_EQ(engine.modelState(), WhisperModelState::ready(WhisperEngine::turboModelFileName));
    EXPECT_TRUE(readFile(destination()) == body);
    EXPECT_EQ(server.requestedPaths(), QStringList{kModelPath});
    EXPECT_EQ(QDir(engine.modelsDirectory()).entryList(QDir::Files | QDir::Hidden),
              QStringList{WhisperEngine::turboModelFileName});

    ASSERT_GE(states.size(), 4);
    EXPECT_EQ(states[0], WhisperModelState::downloading(0.0, QStringLiteral("Connecting to Hugging Face...")));
    EXPECT_EQ(states[1], WhisperModelState::downloading(0.1, QStringLiteral("Downloading Whisper model...")));
    for (qsizetype i = 2; i + 1 < states.size(); ++i) {
        EXPECT_TRUE(states[i].is(WhisperModelState::Case::downloading));
        EXPECT_EQ(states[i].message, QStringLiteral("Downloading Whisper model..."));
        EXPECT_GT(states[i].progress, states[i - 1].progress);
        EXPECT_LE(states[i].progress, 1.0);
    }
    EXPECT_DOUBLE_EQ(states[states.size() - 2].progress, 1.0);
}

TEST_F(WhisperDownloadTest, AFailedDownloadKeepsTheModelAlreadyThere)
{
    const QByteArray oldModel = modelBytes(1000);
    LoopbackHttpServer::Response notFound;
    notFound.status = 404;
    notFound.contentType = "text/plain";
    notFound.body = "Entry not found";
    LoopbackHttpServer::Response loginPage;
    loginPage.contentType = "text/html";
    loginPage.body = "<!doctype html><title>Log in</title>";
    LoopbackHttpServer::Response truncated;
    truncated.body = modelBytes(300000);
    truncated.sendOnly = 1000;
    struct Case {
        LoopbackHttpServer::Response response;
        QString message;
    } cases[] = {
        {notFound, QStringLiteral("Download failed: The server answered with HTTP status 404 (Not Found).")},
        {loginPage, QStringLiteral("Download failed: The server sent a web page instead of the file.")},
        {truncated, QStringLiteral("Download failed: The download ended early, after 1000 of 300000 bytes.")},
    };
    for (const Case& c : cases) {
        writeFile(destination(), oldModel);
        server.setResponse(kModelPath, c.response);
        engine.downloadTurboModel();
        ASSERT_TRUE(waitForEnd());
        EXPECT_EQ(engine.modelState(), WhisperModelState::error(c.message));
        EXPECT_EQ(readFile(destination()), oldModel);
        EXPECT_EQ(QDir(engine.modelsDirectory()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{WhisperEngine::turboModelFileName});
    }
}

TEST_F(WhisperDownloadTest, NoServerEndsInAnError)
{
    {
        LoopbackHttpServer gone;
        qputenv("NIMBREL_MODEL_HOST", gone.url(QString()).toString().toUtf8());
    }
    engine.downloadTurboModel();
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(engine.modelState().is(WhisperModelState::Case::error));
    EXPECT_TRUE(engine.modelState().message.startsWith(QStringLiteral("Download failed: ")));
    EXPECT_GT(engine.modelState().message.size(), QStringLiteral("Download failed: ").size());
}
