#include "common/FileUtils.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using TestFiles::readFile;
using TestFiles::writeFile;

TEST(FileUtils, MoveNeverReplacesAnExistingFile)
{
    QTemporaryDir dir;
    const QString from = dir.filePath(QStringLiteral("capture.tmp"));
    const QString to = dir.filePath(QStringLiteral("Call_1700000000.mp3"));
    writeFile(from, "new audio");
    writeFile(to, "older recording");

    const QString reason = FileUtils::moveWithoutReplacing(from, to);
    EXPECT_TRUE(FileUtils::destinationExists(reason)) << reason.toStdString();
    EXPECT_EQ(readFile(to), "older recording");
    EXPECT_EQ(readFile(from), "new audio");

    const QString free = dir.filePath(QStringLiteral("Call_1700000000 (1).mp3"));
    EXPECT_TRUE(FileUtils::moveWithoutReplacing(from, free).isEmpty());
    EXPECT_EQ(readFile(free), "new audio");
    EXPECT_FALSE(QFile::exists(from));
}

TEST(FileUtils, FreeFileNameCountsUpFromOne)
{
    QTemporaryDir dir;
    EXPECT_EQ(FileUtils::freeFileName(dir.path(), QStringLiteral("Weekly sync"), QStringLiteral(".mp3")),
              QStringLiteral("Weekly sync.mp3"));
    writeFile(dir.filePath(QStringLiteral("Weekly sync.mp3")), "a");
    writeFile(dir.filePath(QStringLiteral("Weekly sync (1).mp3")), "b");
    EXPECT_EQ(FileUtils::freeFileName(dir.path(), QStringLiteral("Weekly sync"), QStringLiteral(".mp3")),
              QStringLiteral("Weekly sync (2).mp3"));
}
