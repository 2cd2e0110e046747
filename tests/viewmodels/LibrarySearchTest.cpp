#include "viewmodels/LibrarySearch.h"

#include "common/SearchMemory.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

RecordingItem recording(const QString& title, const QStringList& segments, const std::optional<QString>& transcript)
{
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = title;
    item.transcript = transcript;
    QList<TranscriptSegment> parts;
    double start = 0;
    for (const QString& text : segments) {
        parts.append({QUuid::createUuid(), start, start + 2, text});
        start += 2;
    }
    if (!segments.isEmpty())
        item.transcriptSegments = parts;
    return item;
}

// The rule the search keeps: title, transcript or a segment holds the query.
QStringList plainRule(const QList<RecordingItem>& items, const QString& query)
{
    QStringList titles;
    for (const RecordingItem& item : items) {
        bool holds = item.title.contains(query, Qt::CaseInsensitive)
            || (item.transcript && item.transcript->contains(query, Qt::CaseInsensitive));
        for (const TranscriptSegment& segment : item.transcriptSegments.value_or(QList<TranscriptSegment>()))
            holds = holds || segment.text.contains(query, Qt::CaseInsensitive);
        if (holds)
            titles << item.title;
    }
    return titles;
}

QStringList titles(const QList<RecordingItem>& items)
{
    QStringList shown;
    for (const RecordingItem& item : items)
        shown << item.title;
    return shown;
}

} // namespace

// Skipping the segments of a transcript that is their joined text finds
// exactly what testing every segment finds, also after the texts change.
TEST(LibrarySearch, FindsWhatTheTitleTranscriptOrASegmentHolds)
{
    QList<RecordingItem> library{
        recording("Joined", {"We planned the budget", "then lunch"}, QString("We planned the budget then lunch")),
        recording("Edited transcript", {"the roadmap for May"}, QString("A summary in other words")),
        recording("Segments only", {"Hiring plan"}, std::nullopt),
        recording("Budget in the title", {}, std::nullopt),
        recording("Neither", {"nothing here"}, QString("nothing here")),
    };
    EXPECT_TRUE(LibrarySearch::segmentsLieInTranscript(library[0]));
    EXPECT_FALSE(LibrarySearch::segmentsLieInTranscript(library[1]));
    EXPECT_FALSE(LibrarySearch::segmentsLieInTranscript(library[2]));

    LibrarySearch search;
    for (const QString query : {"budget", "ROADMAP", "hiring", "lunch", "zebra", "e", "plan"})
        EXPECT_EQ(titles(search.filter(library, query)), plainRule(library, query)) << query.toStdString();

    // New segments that say more than the transcript are searched again.
    library[0].transcriptSegments->append({QUuid::createUuid(), 4, 6, "and the zebra exhibit"});
    EXPECT_EQ(titles(search.filter(library, "zebra")), QStringList{"Joined"});
    library[4].transcript = QString("a zebra after all");
    EXPECT_EQ(titles(search.filter(library, "zebra")), (QStringList{"Joined", "Neither"}));
}

// What the earlier keystrokes and the start worked out of long transcripts
// answers as reading them would, and never for a recording that changed
// since: an edited transcript, or a renamed recording in a list of matches
// that otherwise stays the same.
TEST(LibrarySearch, EarlierSearchesNeverAnswerForChangedRecordings)
{
    const auto longText = [](const char* words) { return (QString::fromUtf8(words) + QLatin1Char(' ')).repeated(40); };
    QList<RecordingItem> library{
        recording("Alpha", {}, longText("quarterly budget review")),
        recording("Beta", {"the roadmap"}, longText("hiring plan")),
        recording("Gamma", {}, longText("launch retro")),
    };
    SearchMemory::shared().clear();
    LibrarySearch search;
    search.adopt(LibrarySearch::prepare(library));
    for (const QString query : {"r", "re", "ret", "retro", "retrox", "retro", "z", "zq", "road", "roadmap 2", "road",
                                 "budget", "bud", "Bud"})
        EXPECT_EQ(titles(search.filter(library, query)), plainRule(library, query)) << query.toStdString();

    library[0].transcript = longText("a retrospective on zebras");
    for (const QString query : {"zebra", "retro", "zq"})
        EXPECT_EQ(titles(search.filter(library, query)), plainRule(library, query)) << query.toStdString();

    library[2].title = QStringLiteral("Gamma renamed");
    EXPECT_EQ(titles(search.filter(library, "retro")), (QStringList{"Alpha", "Gamma renamed"}));
}
