#include "Mp3Fixture.h"

#include "common/FileUtils.h"
#include "models/LibraryRepair.h"
#include "models/OrphanName.h"
#include "platform/media/Mp3Decoder.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <limits>
#include <optional>

#include <gtest/gtest.h>

TEST(OrphanName, TitleAndTimeStampFromTheName)
{
    struct Case {
        const char* name;
        const char* title;
        std::optional<qint64> seconds;
    } cases[] = {
        {"Weekly_1712345678.mp3", "Weekly", 1712345678},
        {"Team sync_1712345678.mp3", "Team sync", 1712345678},
        {"a_b_1712345678.mp3", "a", 1712345678},
        {"memo.mp3", "memo", std::nullopt},
        {"_1712345678.mp3", "_1712345678", 1712345678}, // empty first part: the whole base
        {"x.mp3.mp3", "x", std::nullopt},
        {"x_.mp3", "x", std::nullopt},
        // Digits only, and a date a formatter can show.
        {"x_inf.mp3", "x", std::nullopt},
        {"x_nan.mp3", "x", std::nullopt},
        {"x_1e309.mp3", "x", std::nullopt},
        {"x_1.7e9.mp3", "x", std::nullopt},
        {"x_0x66000000.mp3", "x", std::nullopt},
        {"x_+1712345678.mp3", "x", std::nullopt},
        {"x_-1712345678.mp3", "x", std::nullopt},
        {"x_ 1712345678.mp3", "x", std::nullopt},
        {"x_1712345678.5.mp3", "x", std::nullopt},
        {"x_1712345678 (1).mp3", "x", std::nullopt},
        {"x_\xef\xbc\x91\xef\xbc\x97\xef\xbc\x91\xef\xbc\x92\xef\xbc\x93\xef\xbc\x94\xef\xbc\x95\xef\xbc\x96\xef\xbc\x97\xef\xbc\x98.mp3",
         "x", std::nullopt}, // full-width digits
        {"x_99999999999999999999999999999.mp3", "x", std::nullopt},
        {"x_1000000000.mp3", "x", std::nullopt}, // must be later than 1,000,000,000
        {"x_1000000001.mp3", "x", 1000000001},
        {"x_253402300799.mp3", "x", 253402300799}, // the last second of 9999
        {"x_253402300800.mp3", "x", std::nullopt},
    };
    for (const auto& c : cases) {
        const OrphanName parsed = OrphanName::parse(QString::fromUtf8(c.name));
        EXPECT_EQ(parsed.title, QString::fromUtf8(c.title)) << c.name;
        ASSERT_EQ(parsed.timeStamp.has_value(), c.seconds.has_value()) << c.name;
        if (c.seconds) {
            EXPECT_EQ(parsed.timeStamp->unixSeconds(), double(*c.seconds)) << c.name;
        }
    }
}

TEST(LibraryRepair, FilesOfInfiniteLengthAreKeptButNeverListed)
{
    QTemporaryDir folder;
    const QDir dir(folder.path());
    // A damaged file whose length a reader could take as infinite: JSON cannot
    // hold the length, and removing the file could lose a recording.
    constexpr qint64 kEndlessSize = 50000;
    const LibraryRepair::DurationReader reader = [](const QString& path) {
        return FileUtils::fileSize(path) == kEndlessSize ? std::numeric_limits<double>::infinity()
                                                         : Mp3Decoder::durationOf(path);
    };
    const QString capture = QStringLiteral(".recording_3E0D6D97-3C8F-4E71-8C3A-4B5C6D7E8F90.tmp");
    Mp3Fixture::writeTone(dir.filePath(capture), 2.0);
    Mp3Fixture::padTo(dir.filePath(capture), kEndlessSize);
    Mp3Fixture::writeTone(dir.filePath(QStringLiteral("Endless_1700000000.mp3")), 2.0);
    Mp3Fixture::padTo(dir.filePath(QStringLiteral("Endless_1700000000.mp3")), kEndlessSize);
    Mp3Fixture::writeTone(dir.filePath(QStringLiteral("Fine_1700000000.mp3")), 2.0);

    // The next start meets the taken-back capture as an orphan; it stays then too.
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        testing::internal::CaptureStdout();
        const QList<RecordingItem> repaired = LibraryRepair(folder.path(), reader).repair({});
        const std::string said = testing::internal::GetCapturedStdout();
        ASSERT_EQ(repaired.size(), 1);
        EXPECT_EQ(repaired.first().title, QStringLiteral("Fine"));
        const QStringList names = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
        ASSERT_EQ(names.size(), 3) << names.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(names[0], QStringLiteral("Endless_1700000000.mp3"));
        EXPECT_EQ(names[1], QStringLiteral("Fine_1700000000.mp3"));
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^Recovered_[0-9A-F]{8}\\.mp3$")).match(names[2]).hasMatch());
        EXPECT_EQ(FileUtils::fileSize(dir.filePath(names[2])), kEndlessSize);
        EXPECT_NE(said.find("[RecordingsStorage]"), std::string::npos);
        EXPECT_NE(said.find("Endless_1700000000.mp3"), std::string::npos);
        EXPECT_NE(said.find(names[2].toStdString()), std::string::npos);
    }
}
