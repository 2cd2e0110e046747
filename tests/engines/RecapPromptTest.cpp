#include "engines/recap/RecapPrompt.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray golden(const QString& name)
{
    QFile file(QDir(TestEnvironment::sourceDir()).filePath(QStringLiteral("tests/engines/golden/") + name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll();
}

const QString kTranscript = QStringLiteral("Alice: we ship on Friday.\nBob: agreed.");

} // namespace

TEST(RecapPrompt, EveryTypeAndLanguageMatchesItsGoldenFile)
{
    for (RecordingType type : RecordingTypes::allCases()) {
        for (bool italian : {false, true}) {
            const QString name = RecordingTypes::rawValue(type) + QLatin1String(italian ? "_it.txt" : "_en.txt");
            const QByteArray prompt = RecapPrompt::build(kTranscript, italian, type).toUtf8();
            EXPECT_EQ(prompt.toStdString(), golden(name).toStdString()) << name.toStdString();
        }
    }
}

TEST(RecapPrompt, TranscriptGoesInUnchanged)
{
    const QString transcript = QStringLiteral("  \n\"\"\" ciao <end_of_turn>\n\t ");
    const QString prompt = RecapPrompt::build(transcript, true, RecordingType::quickNote);
    EXPECT_TRUE(prompt.contains(QStringLiteral("TRANSCRIPT:\n\"\"\"\n") + transcript
                                + QStringLiteral("\n\"\"\"<end_of_turn>\n<start_of_turn>model\n")));
    EXPECT_TRUE(prompt.endsWith(QStringLiteral("<start_of_turn>model\n")));
}
