#include "common/AppPaths.h"
#include "common/Error.h"
#include "engines/recap/RecapEngine.h"

#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using TestFiles::readFile;
using TestFiles::writeFile;

struct Outcome {
    std::optional<QString> recap;
    std::optional<Error> error;
    bool cancelled = false;
};

Outcome await(QFuture<QString> future, int timeoutMs = 10000)
{
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return future.isFinished(); }, timeoutMs));
    Outcome outcome;
    try {
        future.waitForFinished(); // rethrows the recap's error
        if (future.resultCount() > 0)
            outcome.recap = future.result();
        else
            outcome.cancelled = true;
    } catch (const CancelledError&) {
        outcome.cancelled = true;
    } catch (const Error& error) {
        outcome.error = error;
    }
    return outcome;
}

QStringList promptFilesLeft()
{
    return QDir(AppPaths::privateTempFolder()).entryList({QStringLiteral("recap_prompt_*")}, QDir::Files);
}

const QString kTranscript = QStringLiteral("Alice: we ship on Friday.\nBob: agreed.");

// A model file, a deps prefix holding the recording runner under a given
// name, and a PATH that holds no runner.
class RecapEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(deps.isValid() && scratch.isValid());
        savedPath = qgetenv("PATH");
        savedDeps = qgetenv("NIMBREL_DEPS_DIR");
        qputenv("PATH", "/usr/bin:/bin");
        qputenv("NIMBREL_DEPS_DIR", deps.path().toLocal8Bit());
        qputenv("RUNNER_RECORD", record().toLocal8Bit());
        qputenv("RUNNER_MODE", "recap");
        writeFile(RecapEngine::modelPath(), "GGUF model");
    }

    void TearDown() override
    {
        qputenv("PATH", savedPath);
        qputenv("NIMBREL_DEPS_DIR", savedDeps);
        QFile::remove(RecapEngine::modelPath());
    }

    // Puts the recording runner at `folder` under `name`; returns its path.
    QString installRunner(const QString& folder, const QString& name = QStringLiteral("llama-completion"))
    {
        QDir().mkpath(folder);
        const QString path = QDir(folder).filePath(name);
        QFile::link(QDir(TestEnvironment::sourceDir()).filePath(QStringLiteral("tests/engines/fixtures/recording_runner.sh")),
                    path);
        return path;
    }
    QString depsRunnerFolder() const { return QDir(deps.path()).filePath(QStringLiteral("llama/bin")); }

    QString record() const { return QDir(scratch.path()).filePath(QStringLiteral("run")); }
    QByteArray recorded(const char* what) const { return readFile(record() + u'.' + QLatin1String(what)); }
    QStringList recordedArguments() const
    {
        QStringList arguments = QString::fromUtf8(recorded("args")).split(QChar(0));
        arguments.removeLast(); // after the last terminator
        return arguments;
    }

    QTemporaryDir deps;
    QTemporaryDir scratch;
    QByteArray savedPath;
    QByteArray savedDeps;
};

} // namespace

TEST_F(RecapEngineTest, ChecksModelThenRunnerThenTranscript)
{
    RecapEngine engine;
    const QString blank = QStringLiteral("  \n\t \n");

    QFile::remove(RecapEngine::modelPath());
    Outcome outcome = await(engine.generateRecap(blank, RecordingType::meeting));
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->domain(), QStringLiteral("RecapEngine"));
    EXPECT_EQ(outcome.error->code(), -1);
    EXPECT_EQ(outcome.error->message(), QStringLiteral("AI Summary model is not downloaded."));

    writeFile(RecapEngine::modelPath(), "GGUF");
    outcome = await(engine.generateRecap(blank, RecordingType::meeting));
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->code(), -2);
    EXPECT_EQ(outcome.error->message(), QStringLiteral("Llama runtime not found."));

    installRunner(depsRunnerFolder());
    outcome = await(engine.generateRecap(blank, RecordingType::meeting));
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->code(), -3);
    EXPECT_EQ(outcome.error->message(), QStringLiteral("Transcript is empty."));
    EXPECT_FALSE(QFileInfo::exists(record() + QStringLiteral(".args"))) << "no runner is started";
    EXPECT_FALSE(engine.isGenerating());
}

TEST_F(RecapEngineTest, RunnerGetsItsArgumentsAPrivatePromptAndNoInput)
{
    QFile golden(QDir(TestEnvironment::sourceDir()).filePath(QStringLiteral("tests/engines/golden/meeting_en.txt")));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    const QByteArray expectedPrompt = golden.readAll();

    for (const QString& name : {QStringLiteral("llama-completion"), QStringLiteral("llama-cli")}) {
        SCOPED_TRACE(name.toStdString());
        QDir(depsRunnerFolder()).removeRecursively();
        const QString runner = installRunner(depsRunnerFolder(), name);
        RecapEngine engine;
        const Outcome outcome = await(engine.generateRecap(kTranscript, RecordingType::meeting));
        ASSERT_TRUE(outcome.recap);
        EXPECT_EQ(*outcome.recap, QStringLiteral("# 📌 Executive Summary\nAll agreed."));

        const QStringList arguments = recordedArguments();
        ASSERT_GE(arguments.size(), 4);
        const QString promptPath = arguments[3];
        QStringList expected{QStringLiteral("-m"),    RecapEngine::modelPath(),
                             QStringLiteral("-f"),    promptPath,
                             QStringLiteral("-n"),    QStringLiteral("1500"),
                             QStringLiteral("-c"),    QStringLiteral("4096"),
                             QStringLiteral("-ngl"),  QStringLiteral("99"),
                             QStringLiteral("--temp"), QStringLiteral("0.2"),
                             QStringLiteral("--no-display-prompt")};
        expected.append(name == QLatin1String("llama-cli") ? QStringLiteral("--single-turn")
                                                           : QStringLiteral("-no-cnv"));
        EXPECT_EQ(arguments, expected);

        EXPECT_EQ(QFileInfo(promptPath).absolutePath(), AppPaths::privateTempFolder());
        EXPECT_TRUE(QFileInfo(promptPath).fileName().contains(QRegularExpression(
            QStringLiteral("^recap_prompt_[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.txt$"))));
        EXPECT_EQ(recorded("prompt"), expectedPrompt);
        EXPECT_EQ(recorded("promptmode").trimmed(), "600");
        EXPECT_EQ(recorded("foldermode").trimmed(), "700");
        EXPECT_EQ(recorded("stdin").trimmed(), "/dev/null");
        EXPECT_TRUE(recorded("libpath").startsWith(QFileInfo(runner).absolutePath().toLocal8Bit()));
        EXPECT_FALSE(QFileInfo::exists(promptPath));
    }
}

TEST(RecapEngineSetup, LibraryPathPutsTheRunnerFolderFirst)
{
    struct Case {
        const char* inherited; // nullptr: not set
        const char* expected;
    } cases[] = {
        {nullptr, "/opt/llama/bin"},
        {"", "/opt/llama/bin"},
        {"/usr/local/lib", "/opt/llama/bin:/usr/local/lib"},
        {"/a:/b", "/opt/llama/bin:/a:/b"},
    };
    for (const auto& c : cases) {
        QProcessEnvironment inherited;
        inherited.insert(QStringLiteral("HOME"), QStringLiteral("/home/x"));
        if (c.inherited)
            inherited.insert(QStringLiteral("LD_LIBRARY_PATH"), QString::fromLatin1(c.inherited));
        const QProcessEnvironment environment =
            RecapEngine::runnerEnvironment(QStringLiteral("/opt/llama/bin/llama-completion"), inherited);
        EXPECT_EQ(environment.value(QStringLiteral("LD_LIBRARY_PATH")), QLatin1String(c.expected));
        EXPECT_EQ(environment.value(QStringLiteral("HOME")), QStringLiteral("/home/x"));
        // Waiting OpenMP threads sleep rather than spin beside a recording.
        EXPECT_EQ(environment.value(QStringLiteral("OMP_WAIT_POLICY")), QStringLiteral("passive"));
    }
}

TEST(RecapEngineSetup, ContextGrowsWithTheTranscript)
{
    struct Case {
        qsizetype characters;
        int context;
    } cases[] = {
        {1, 4096}, {2999, 4096}, {3000, 4096}, {6144, 4096}, {6147, 4097}, {30000, 12048},
        {92159, 32767}, {92160, 32768}, {200000, 32768},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecapEngine::contextSize(QString(c.characters, u'a')), c.context) << c.characters;

    // A family emoji is eight UTF-16 units but one character to a reader.
    const QString family = QStringLiteral("👨‍👩‍👧");
    EXPECT_EQ(RecapEngine::contextSize(family.repeated(6147)), 4097);
}

TEST_F(RecapEngineTest, RunnerIsFoundInOurFoldersAndPathButNeverTheCurrentFolder)
{
    // Every folder is tried for llama-completion before any for llama-cli.
    const QString pathFolder = QDir(scratch.path()).filePath(QStringLiteral("path-bin"));
    const QString onPath = installRunner(pathFolder, QStringLiteral("llama-completion"));
    installRunner(depsRunnerFolder(), QStringLiteral("llama-cli"));
    qputenv("PATH", (pathFolder + QStringLiteral(":/usr/bin:/bin")).toLocal8Bit());
    RecapEngine engine;
    ASSERT_TRUE(await(engine.generateRecap(kTranscript, RecordingType::meeting)).recap);
    EXPECT_EQ(recordedArguments().last(), QStringLiteral("-no-cnv")); // the completion runner, not the chat one
    EXPECT_TRUE(recorded("libpath").startsWith(pathFolder.toLocal8Bit()));

    // Runners in the current folder, named by relative or empty PATH entries.
    QDir(depsRunnerFolder()).removeRecursively();
    const QString current = QDir(scratch.path()).filePath(QStringLiteral("cwd"));
    installRunner(current);
    installRunner(QDir(current).filePath(QStringLiteral("bin/llama")));
    installRunner(QDir(current).filePath(QStringLiteral("bin")));
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(current));
    qputenv("PATH", "::.:bin:/usr/bin:/bin");
    const Outcome outcome = await(engine.generateRecap(kTranscript, RecordingType::meeting));
    QDir::setCurrent(saved);
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->code(), -2);
}

TEST_F(RecapEngineTest, RunnerOutcomes)
{
    installRunner(depsRunnerFolder());
    struct Case {
        const char* mode;
        std::optional<QString> recap;
        int code;
        QString message;
    } cases[] = {
        {"recap", QStringLiteral("# 📌 Executive Summary\nAll agreed."), 0, {}},
        // A run that exits well but leaves nothing after cleaning is no recap.
        {"silent", std::nullopt, RecapEngine::emptyRecapCode, QStringLiteral("Llama failed: the output held no recap.")},
        {"only-markers", std::nullopt, RecapEngine::emptyRecapCode,
         QStringLiteral("Llama failed: the output held no recap.")},
        // One byte that is not UTF-8 costs that character, not the recap.
        {"bad-byte", QString::fromUtf8("# 📌 Executive Summary\nCaf\uFFFD agreed."), 0, {}},
        {"bad-byte-fail", std::nullopt, 2, QString::fromUtf8("Llama failed: error: bad \uFFFD magic")},
        // A failing exit that still printed a recap keeps what it printed.
        {"partial", QStringLiteral("# 📌 Executive Summary\nHalf a rec"), 0, {}},
        {"fail", std::nullopt, 1, QStringLiteral("Llama failed: boom")},
        // A whole log would not fit the one-line status message: its last line says why.
        {"chatty", std::nullopt, 1, QStringLiteral("Llama failed: error: failed to load model")},
        {"garbled", std::nullopt, 3, QStringLiteral("Llama failed: Unknown process error")},
        // A runner that was killed never passes its partial output as a recap.
        {"signal", std::nullopt, SIGKILL, {}},
    };
    RecapEngine engine;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        qputenv("RUNNER_MODE", c.mode);
        const Outcome outcome = await(engine.generateRecap(kTranscript, RecordingType::meeting));
        if (c.recap) {
            ASSERT_TRUE(outcome.recap);
            EXPECT_EQ(*outcome.recap, *c.recap);
        } else {
            ASSERT_TRUE(outcome.error);
            EXPECT_EQ(outcome.error->domain(), QStringLiteral("RecapEngine"));
            EXPECT_EQ(outcome.error->code(), c.code);
            if (c.message.isEmpty())
                EXPECT_TRUE(outcome.error->message().startsWith(QStringLiteral("Llama failed: ")));
            else
                EXPECT_EQ(outcome.error->message(), c.message);
        }
        EXPECT_TRUE(promptFilesLeft().isEmpty());
        EXPECT_TRUE(TestEnvironment::waitUntil([&] { return !engine.isGenerating(); }));
    }
}

TEST_F(RecapEngineTest, CancellingEndsTheRunnerWithinASecond)
{
    installRunner(depsRunnerFolder());
    qputenv("RUNNER_MODE", "hang");
    RecapEngine engine;
    QFuture<QString> future = engine.generateRecap(kTranscript, RecordingType::meeting);
    EXPECT_TRUE(engine.isGenerating());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !recorded("pid").isEmpty(); }));
    const pid_t pid = recorded("pid").trimmed().toInt();
    ASSERT_GT(pid, 0);

    QElapsedTimer clock;
    clock.start();
    future.cancel();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return future.isFinished(); }, 1000));
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_NE(::kill(pid, 0), 0) << "the runner is gone";
    EXPECT_TRUE(future.isCanceled());
    EXPECT_TRUE(promptFilesLeft().isEmpty());
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return !engine.isGenerating(); }));
}

TEST_F(RecapEngineTest, RecapsRunOneAtATimeInOrderOfRequest)
{
    installRunner(depsRunnerFolder());
    qputenv("RUNNER_MODE", "order");
    RecapEngine engine;
    QList<QFuture<QString>> futures;
    for (int i = 1; i <= 3; ++i)
        futures.append(engine.generateRecap(QStringLiteral("REQUEST-%1 notes").arg(i), RecordingType::meeting));
    for (int i = 0; i < 3; ++i) {
        const Outcome outcome = await(futures[i]);
        ASSERT_TRUE(outcome.recap);
        EXPECT_EQ(*outcome.recap, QStringLiteral("# 📌 Executive Summary\nREQUEST-%1").arg(i + 1));
    }
    EXPECT_EQ(recorded("order"), "start REQUEST-1\nend REQUEST-1\nstart REQUEST-2\nend REQUEST-2\n"
                                 "start REQUEST-3\nend REQUEST-3\n");
}
