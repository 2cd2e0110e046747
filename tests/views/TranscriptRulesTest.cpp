#include "views/logic/CurrentRecording.h"
#include "views/logic/SearchMatcher.h"
#include "views/logic/TranscriptRules.h"
#include "views/logic/WordCount.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace TranscriptRules;

namespace {

RecordingItem recording(std::optional<QString> transcript, int segmentCount = 0, double duration = 187)
{
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = QStringLiteral("Weekly sync");
    item.duration = duration;
    item.transcript = std::move(transcript);
    if (segmentCount >= 0) {
        QList<TranscriptSegment> segments;
        for (int i = 0; i < segmentCount; ++i)
            segments.append({QUuid::createUuid(), i * 2.0, i * 2.0 + 1.5, QStringLiteral("segment")});
        item.transcriptSegments = segments;
    }
    return item;
}

} // namespace

TEST(WordCount, EveryUnicodeSpaceSeparatesWords)
{
    struct Case {
        const char16_t* text;
        qsizetype words;
    } cases[] = {
        {u"", 0},
        {u"   \t\n ", 0},
        {u"one", 1},
        {u"  one  two  ", 2},
        {u"tab\tnew\nline\rcarriage", 4},
        {u"vertical\u000Btab\u000Cfeed", 3},
        {u"next\u0085line", 2},
        {u"no\u00A0break", 2},
        {u"ogham\u1680space", 2},
        {u"en\u2002em\u2003thin\u2009hair\u200A", 4},
        {u"line\u2028paragraph\u2029end", 3},
        {u"narrow\u202Fmath\u205Fideographic\u3000end", 4},
        // Not White_Space: joiners and the zero-width space stay inside a word.
        {u"zero\u200Bwidth", 1},
        {u"word\u200Djoiner", 1},
        {u"## Heading", 2},
        {u"emoji 😀 counts", 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WordCount::count(QString::fromUtf16(c.text)), c.words) << QString::fromUtf16(c.text).toStdString();
}

TEST(TranscriptRules, HeaderFollowsTheTranscriptAndAnyRunningTranscription)
{
    struct Case {
        std::optional<QString> transcript;
        bool anyTranscribing;
        Header header;
    } cases[] = {
        {std::nullopt, false, {std::nullopt, false, "Transcribe", true}},
        {QString(), false, {QStringLiteral("0 words • 3:07"), false, "Re-transcribe", true}},
        {QStringLiteral("Hello there, world"), false,
         {QStringLiteral("3 words • 3:07"), true, "Re-transcribe", true}},
        {QStringLiteral("Hello"), true, {QStringLiteral("1 words • 3:07"), true, "Re-transcribe", false}},
    };
    for (const auto& c : cases) {
        const qsizetype words = c.transcript ? WordCount::count(*c.transcript) : 0;
        EXPECT_EQ(header(recording(c.transcript), words, c.anyTranscribing), c.header)
            << c.transcript.value_or("<nil>").toStdString();
    }
}

TEST(TranscriptRules, ContentChoosesTheFirstCaseThatHolds)
{
    struct Case {
        const char* name;
        RecordingItem item;
        bool transcribing;
        SpeechModel model;
        Content content;
    } cases[] = {
        {"transcribing wins", recording(QStringLiteral("text"), 3), true, SpeechModel::present, Content::transcribing},
        {"segments", recording(QStringLiteral("text"), 3), false, SpeechModel::notDownloaded, Content::segments},
        {"segments without transcript", recording(std::nullopt, 2), false, SpeechModel::present, Content::segments},
        {"segments with empty transcript", recording(QString(), 2), false, SpeechModel::present, Content::segments},
        {"plain text", recording(QStringLiteral("text"), 0), false, SpeechModel::notDownloaded, Content::plainText},
        {"plain text, nil segments", recording(QStringLiteral("text"), -1), false, SpeechModel::present,
         Content::plainText},
        {"model card", recording(std::nullopt, -1), false, SpeechModel::notDownloaded, Content::modelCard},
        {"model card for empty", recording(QString(), 0), false, SpeechModel::notDownloaded, Content::modelCard},
        {"download card", recording(std::nullopt, 0), false, SpeechModel::downloading, Content::downloadCard},
        {"no transcript", recording(std::nullopt, 0), false, SpeechModel::present, Content::noTranscriptCard},
        // Never the offer to transcribe after a failed download: its reason and a retry.
        {"failed download", recording(std::nullopt, 0), false, SpeechModel::failed, Content::failedDownloadCard},
        {"failed download, text kept", recording(QStringLiteral("text"), 0), false, SpeechModel::failed,
         Content::plainText},
    };
    for (const auto& c : cases)
        EXPECT_EQ(content(c.item, c.transcribing, c.model), c.content) << c.name;
}

TEST(TranscriptRules, RowColoursAndPillSymbol)
{
    struct Case {
        RowFlags flags;
        RowStyle style;
    } cases[] = {
        {{false, false, false, false},
         {{}, {}, {ColorRole::secondary, 0.12}, ColorRole::primary, "play.fill", TextWeight::regular,
          ColorRole::primary}},
        {{false, true, true, false},
         {{ColorRole::secondary, 0.08}, {}, {ColorRole::secondary, 0.12}, ColorRole::primary, "play.fill",
          TextWeight::regular, ColorRole::primary}},
        {{false, true, false, true},
         {{ColorRole::yellow, 0.14}, {ColorRole::yellow, 0.40}, {ColorRole::orange, 0.20}, ColorRole::orange,
          "magnifyingglass", TextWeight::semibold, ColorRole::primary}},
        {{true, false, false, false},
         {{ColorRole::accent, 0.14}, {ColorRole::accent, 0.35}, {ColorRole::accent, 1.0}, ColorRole::white,
          "pause.fill", TextWeight::semibold, ColorRole::accent}},
        {{true, false, true, false},
         {{ColorRole::accent, 0.14}, {ColorRole::accent, 0.35}, {ColorRole::accent, 1.0}, ColorRole::white,
          "waveform", TextWeight::semibold, ColorRole::accent}},
        // An active row that matches keeps the active colours.
        {{true, true, false, true},
         {{ColorRole::accent, 0.14}, {ColorRole::accent, 0.35}, {ColorRole::accent, 1.0}, ColorRole::white,
          "magnifyingglass", TextWeight::semibold, ColorRole::accent}},
        {{true, false, true, true},
         {{ColorRole::accent, 0.14}, {ColorRole::accent, 0.35}, {ColorRole::accent, 1.0}, ColorRole::white,
          "waveform", TextWeight::semibold, ColorRole::accent}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rowStyle(c.flags), c.style) << "active " << c.flags.active << " hovered " << c.flags.hovered
                                              << " playing " << c.flags.playing << " matching " << c.flags.matching;
    }
}

TEST(TranscriptRules, TranscribingTextQuotesTheTitle)
{
    EXPECT_EQ(transcribingText(QStringLiteral("Weekly sync")), QStringLiteral("Transcribing \"Weekly sync\"..."));
    EXPECT_EQ(transcribingText(QStringLiteral("Weekly sync"), 7), QStringLiteral("Transcribing \"Weekly sync\"... 7%"));
    EXPECT_EQ(downloadingText(QStringLiteral("Downloading Whisper model..."), 0.999),
              QStringLiteral("Downloading Whisper model... 99%"));
}

TEST(SearchMatcher, MatchesSubstringsIgnoringCaseAndBlankQueries)
{
    struct Case {
        const char16_t* query;
        const char16_t* text;
        bool matches;
    } cases[] = {
        {u"budget", u"We agreed on the budget.", true},
        {u"BUDGET", u"we agreed on the budget", true},
        {u"  budget\n", u"the Budget", true},
        {u"get", u"budget", true}, // a substring, not whole words
        {u"ÉTÉ", u"un été chaud", true},
        {u"ΣΟΦΙΑ", u"σοφια", true},
        {u"   ", u"anything", false},
        {u"", u"anything", false},
        {u"budget", u"", false},
        {u"forecast", u"the budget", false},
    };
    for (const auto& c : cases) {
        const SearchMatcher matcher(QString::fromUtf16(c.query), QLocale(QLocale::English));
        EXPECT_EQ(matcher.matches(QString::fromUtf16(c.text)), c.matches)
            << QString::fromUtf16(c.query).toStdString() << " in " << QString::fromUtf16(c.text).toStdString();
    }
    EXPECT_FALSE(SearchMatcher(QStringLiteral(" \t")).isActive());
    EXPECT_TRUE(SearchMatcher(QStringLiteral("a")).isActive());
}

TEST(SearchMatcher, FollowsTheLocalesCaseRules)
{
    // Turkish lowers I to dotless ı, so "I" does not find "i" there.
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    EXPECT_FALSE(SearchMatcher(QStringLiteral("I"), turkish).matches(QStringLiteral("iş")));
    EXPECT_TRUE(SearchMatcher(QStringLiteral("I"), turkish).matches(QStringLiteral("ılık")));
    EXPECT_TRUE(SearchMatcher(QStringLiteral("I"), QLocale(QLocale::English)).matches(QStringLiteral("iş")));
}

TEST(CurrentRecording, LibraryEntryThenSelectionThenOwnCopy)
{
    RecordingItem own = recording(std::nullopt);
    RecordingItem renamed = own;
    renamed.title = QStringLiteral("Renamed");
    RecordingItem other = recording(std::nullopt);
    RecordingItem selected = own;
    selected.title = QStringLiteral("Selected copy");

    EXPECT_EQ(CurrentRecording::resolve({other, renamed}, selected, own).title, "Renamed");
    EXPECT_EQ(CurrentRecording::resolve({other}, selected, own).title, "Selected copy");
    EXPECT_EQ(CurrentRecording::resolve({other}, std::nullopt, own).title, "Weekly sync");
}
