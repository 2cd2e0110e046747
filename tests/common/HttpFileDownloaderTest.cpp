#include "common/Error.h"
#include "common/HttpFileDownloader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <optional>

#include <gtest/gtest.h>

#include "support/LoopbackHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

namespace {

const QByteArray kSignature = "lmgg";

QByteArray modelBytes(qsizetype size)
{
    QByteArray bytes = kSignature;
    while (bytes.size() < size)
        bytes += QByteArray::number(bytes.size() % 9973);
    return bytes.left(size);
}

// Unlike TestFiles::readFile, a missing file never reads as an empty download.
QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class HttpFileDownloaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        destination = QDir(folder.path()).filePath(QStringLiteral("model.bin"));
        TestFiles::writeFile(destination, oldModel);
    }

    // Waits for the download; returns its error, or nothing on success.
    std::optional<Error> finish(QFuture<void> future)
    {
        EXPECT_TRUE(TestEnvironment::waitUntil([&] { return future.isFinished(); }, 20000));
        try {
            future.waitForFinished();
        } catch (const Error& error) {
            return error;
        }
        return std::nullopt;
    }

    QStringList filesInFolder() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden); }

    HttpFileDownloader::Options modelOptions()
    {
        HttpFileDownloader::Options options;
        options.acceptedSignatures = {kSignature, QByteArray("GGUF")};
        options.progress = [this](qint64 received, qint64 total) { progress.append({received, total}); };
        return options;
    }

    QTemporaryDir folder;
    QString destination;
    const QByteArray oldModel = "lmgg old model";
    LoopbackHttpServer server;
    QList<QPair<qint64, qint64>> progress;
};

} // namespace

TEST_F(HttpFileDownloaderTest, ReplacesTheFileWithAWholeBodyAndReportsProgress)
{
    const QByteArray body = modelBytes(3 * 1024 * 1024 + 17);
    server.setBody(QStringLiteral("/files/model.bin"), body);
    LoopbackHttpServer::Response redirect;
    redirect.status = 302;
    redirect.headers = {{"Location", "/files/model.bin"}};
    server.setResponse(QStringLiteral("/moved"), redirect);

    for (const QString& path : {QStringLiteral("/files/model.bin"), QStringLiteral("/moved")}) {
        progress.clear();
        QFile::remove(destination);
        const auto error = finish(HttpFileDownloader::download(server.url(path), destination, modelOptions()));
        EXPECT_FALSE(error) << path.toStdString() << ": " << (error ? error->message().toStdString() : "");
        EXPECT_TRUE(readFile(destination) == body) << path.toStdString();
        EXPECT_EQ(filesInFolder(), QStringList{QStringLiteral("model.bin")});
        ASSERT_FALSE(progress.isEmpty());
        EXPECT_EQ(progress.last(), qMakePair(qint64(body.size()), qint64(body.size())));
        for (qsizetype i = 1; i < progress.size(); ++i)
            EXPECT_GT(progress[i].first, progress[i - 1].first);
    }
}

TEST_F(HttpFileDownloaderTest, FailedDownloadsKeepTheOldFile)
{
    struct Case {
        const char* name;
        LoopbackHttpServer::Response response;
        int code;
        QString message;
    };
    LoopbackHttpServer::Response notFound;
    notFound.status = 404;
    notFound.contentType = "text/html";
    notFound.body = "<html>Entry not found</html>";
    LoopbackHttpServer::Response page;
    page.contentType = "text/html; charset=utf-8";
    page.body = "<!DOCTYPE html><html><body>Sign in to continue</body></html>";
    LoopbackHttpServer::Response truncated;
    truncated.body = modelBytes(200000);
    truncated.sendOnly = 120000;
    LoopbackHttpServer::Response wrongKind;
    wrongKind.body = "PK\x03\x04 a zip archive, not a model";
    LoopbackHttpServer::Response tooShort;
    tooShort.body = "lm";
    LoopbackHttpServer::Response serverError;
    serverError.status = 500;
    serverError.body = "lmgg looks right but the status is not";

    const Case cases[] = {
        {"not found", notFound, 404, QStringLiteral("The server answered with HTTP status 404 (Not Found).")},
        {"web page", page, HttpFileDownloader::UnexpectedContent,
         QStringLiteral("The server sent a web page instead of the file.")},
        {"truncated", truncated, HttpFileDownloader::Truncated,
         QStringLiteral("The download ended early, after 120000 of 200000 bytes.")},
        {"wrong kind", wrongKind, HttpFileDownloader::UnexpectedContent,
         QStringLiteral("The server sent something other than the expected file.")},
        {"too short", tooShort, HttpFileDownloader::UnexpectedContent,
         QStringLiteral("The server sent something other than the expected file.")},
        {"server error", serverError, 500,
         QStringLiteral("The server answered with HTTP status 500 (Internal Server Error).")},
    };
    for (const Case& c : cases) {
        const QString path = QStringLiteral("/") + QString::fromLatin1(c.name).replace(QLatin1Char(' '), QLatin1Char('-'));
        server.setResponse(path, c.response);
        const auto error = finish(HttpFileDownloader::download(server.url(path), destination, modelOptions()));
        ASSERT_TRUE(error) << c.name;
        EXPECT_EQ(error->domain(), QStringLiteral("HttpFileDownloader")) << c.name;
        EXPECT_EQ(error->code(), c.code) << c.name;
        EXPECT_EQ(error->message(), c.message) << c.name;
        EXPECT_EQ(readFile(destination), oldModel) << c.name;
        EXPECT_EQ(filesInFolder(), QStringList{QStringLiteral("model.bin")}) << c.name;
    }
}

TEST_F(HttpFileDownloaderTest, NoServerIsANetworkFailure)
{
    QUrl url;
    {
        LoopbackHttpServer gone;
        url = gone.url(QStringLiteral("/model.bin"));
    }
    const auto error = finish(HttpFileDownloader::download(url, destination, modelOptions()));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), HttpFileDownloader::NetworkFailure);
    EXPECT_FALSE(error->message().isEmpty());
    EXPECT_EQ(readFile(destination), oldModel);
}

TEST_F(HttpFileDownloaderTest, WithoutSignaturesAnyBodyIsTaken)
{
    server.setBody(QStringLiteral("/notes.txt"), "plain text", "text/plain");
    server.setBody(QStringLiteral("/empty"), QByteArray());
    EXPECT_FALSE(finish(HttpFileDownloader::download(server.url(QStringLiteral("/notes.txt")), destination)));
    EXPECT_EQ(readFile(destination), "plain text");
    EXPECT_FALSE(finish(HttpFileDownloader::download(server.url(QStringLiteral("/empty")), destination)));
    EXPECT_EQ(readFile(destination), QByteArray());
}

TEST_F(HttpFileDownloaderTest, CancellingAStalledDownloadKeepsTheOldFile)
{
    LoopbackHttpServer::Response stalled;
    stalled.body = modelBytes(500000);
    stalled.sendOnly = 100000;
    stalled.stallAfterPartialBody = true;
    server.setResponse(QStringLiteral("/slow"), stalled);

    QFuture<void> future = HttpFileDownloader::download(server.url(QStringLiteral("/slow")), destination, modelOptions());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !progress.isEmpty() && progress.last().first >= 100000; }));
    future.cancel();
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return future.isFinished(); }, 2000));
    EXPECT_TRUE(future.isCanceled());
    TestEnvironment::waitUntil([] { return false; }, 100); // let the aborted reply settle
    EXPECT_EQ(readFile(destination), oldModel);
    EXPECT_EQ(filesInFolder(), QStringList{QStringLiteral("model.bin")});
}

TEST_F(HttpFileDownloaderTest, SizeTimeAndRedirectBoundsKeepTheOldFile)
{
    LoopbackHttpServer elsewhere; // a redirect target the rule refuses
    elsewhere.setBody(QStringLiteral("/model.bin"), modelBytes(1000));
    const auto redirectTo = [](const QByteArray& location) {
        LoopbackHttpServer::Response response;
        response.status = 302;
        response.headers = {{"Location", location}};
        return response;
    };
    LoopbackHttpServer::Response large;
    large.body = modelBytes(300000);
    LoopbackHttpServer::Response unannounced = large;
    unannounced.announceLength = false;
    LoopbackHttpServer::Response trickle;
    trickle.body = modelBytes(2000);
    trickle.trickleIntervalMs = 50;

    struct Case {
        const char* path;
        LoopbackHttpServer::Response response;
        int code;
        QString message;
        int maxRedirects = 3;
    };
    const Case cases[] = {
        {"/large", large, HttpFileDownloader::TooLarge,
         QStringLiteral("The server offered 293 KB, more than the 97.7 KB allowed.")},
        {"/unannounced", unannounced, HttpFileDownloader::TooLarge,
         QStringLiteral("The server sent more than the 97.7 KB allowed.")},
        {"/trickle", trickle, HttpFileDownloader::DeadlineExceeded,
         QStringLiteral("The server did not finish sending within 1 second.")},
        {"/away", redirectTo(elsewhere.url(QStringLiteral("/model.bin")).toEncoded()),
         HttpFileDownloader::RedirectRefused,
         QStringLiteral("The server redirected to an address that is not allowed: %1")
             .arg(elsewhere.url(QStringLiteral("/model.bin")).toString())},
        {"/hop", redirectTo("/second-hop"), HttpFileDownloader::RedirectRefused, // each hop is asked
         QStringLiteral("The server redirected to an address that is not allowed: %1")
             .arg(elsewhere.url(QStringLiteral("/model.bin")).toString())},
        {"/loop", redirectTo("/loop-back"), HttpFileDownloader::RedirectRefused,
         QStringLiteral("The server redirected more than once."), 1},
    };
    server.setResponse(QStringLiteral("/loop-back"), redirectTo("/loop"));
    server.setResponse(QStringLiteral("/second-hop"), redirectTo(elsewhere.url(QStringLiteral("/model.bin")).toEncoded()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        server.setResponse(QString::fromLatin1(c.path), c.response);
        HttpFileDownloader::Options options = modelOptions();
        options.maxBytes = 100000;
        options.deadlineMs = 1000;
        options.maxRedirects = c.maxRedirects;
        options.acceptsRedirect = [&](const QUrl& url) { return url.port() == server.port(); };
        const auto error = finish(HttpFileDownloader::download(server.url(QString::fromLatin1(c.path)), destination, options));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->code(), c.code);
        EXPECT_EQ(error->message(), c.message) << error->message().toStdString();
        EXPECT_EQ(readFile(destination), oldModel);
        EXPECT_EQ(filesInFolder(), QStringList{QStringLiteral("model.bin")});
    }
    EXPECT_TRUE(elsewhere.requestedPaths().isEmpty());
}

TEST_F(HttpFileDownloaderTest, FetchKeepsTheBodyInMemoryUnderTheSameRules)
{
    const QByteArray body = modelBytes(5000);
    server.setBody(QStringLiteral("/feed"), body);
    LoopbackHttpServer::Response moved;
    moved.status = 302;
    moved.headers = {{"Location", "/feed"}};
    server.setResponse(QStringLiteral("/moved"), moved);
    HttpFileDownloader::Options options;
    options.maxBytes = 5000;
    options.acceptsRedirect = [](const QUrl& url) { return url.host() == QLatin1String("127.0.0.1"); };
    QFuture<QByteArray> fetched = HttpFileDownloader::fetch(server.url(QStringLiteral("/moved")), options);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return fetched.isFinished(); }, 20000));
    EXPECT_TRUE(fetched.result() == body);

    options.maxBytes = 4999;
    fetched = HttpFileDownloader::fetch(server.url(QStringLiteral("/feed")), options);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return fetched.isFinished(); }, 20000));
    EXPECT_THROW(fetched.waitForFinished(), Error);
    EXPECT_EQ(filesInFolder(), QStringList{QStringLiteral("model.bin")});
}
