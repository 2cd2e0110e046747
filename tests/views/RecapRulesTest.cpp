#include "views/logic/RecapRules.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace RecapRules;

namespace {

RecordingItem recording(std::optional<QString> transcript, std::optional<QString> summary,
                        std::optional<RecordingType> type = std::nullopt)
{
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = QStringLiteral("Board meeting");
    item.transcript = std::move(transcript);
    item.summary = std::move(summary);
    item.recordingType = type;
    return item;
}

const std::optional<QString> none;
const QString text = QStringLiteral("Some words here");
const QString recap = QStringLiteral("# 📌 Executive Summary\nWe met.");

} // namespace

TEST(RecapRules, BodyTakesTheFirstRowThatHolds)
{
    struct Case {
        const char* name;
        RecordingItem item;
        Situation situation;
        Body body;
    } cases[] = {
        {"model missing beats a recap", recording(text, recap), {false, true, true}, Body::modelDownload},
        {"transcribing beats generating", recording(text, none), {true, true, true}, Body::transcribing},
        {"generating", recording(text, recap), {true, false, true}, Body::generating},
        {"recap", recording(text, recap), {true, false, false}, Body::recap},
        {"recap without transcript", recording(none, recap), {true, false, false}, Body::recap},
        {"empty recap falls through", recording(text, QString()), {true, false, false}, Body::readyToGenerate},
        {"empty transcript", recording(QString(), none), {true, false, false}, Body::transcriptRequired},
        {"nothing", recording(none, none), {true, false, false}, Body::transcriptRequired},
    };
    for (const auto& c : cases)
        EXPECT_EQ(body(c.item, c.situation), c.body) << c.name;
}

TEST(RecapRules, SubtitleCountsTheRecapsWords)
{
    EXPECT_EQ(subtitle(recording(text, recap)), QStringLiteral("Executive Recap • 6 words • Meeting"));
    EXPECT_EQ(subtitle(recording(text, QStringLiteral("## Risks"), RecordingType::lecture)),
              QStringLiteral("Executive Recap • 2 words • Lecture"));
    EXPECT_EQ(subtitle(recording(text, QString(), RecordingType::quickNote)),
              QStringLiteral("Executive Recap • 0 words • Voice Note"));
    EXPECT_EQ(subtitle(recording(text, none, RecordingType::oneOnOne)),
              QStringLiteral("Executive Recap • 1-on-1 Sync"));
}

TEST(RecapRules, HeaderButtons)
{
    struct Case {
        const char* name;
        RecordingItem item;
        Situation situation;
        Header header;
    } cases[] = {
        {"recap", recording(text, recap), {true, false, false}, {Buttons::copyAndRegenerate, true}},
        {"recap, model missing", recording(text, recap), {false, false, false}, {Buttons::copyAndRegenerate, true}},
        {"recap being rewritten", recording(text, recap), {true, false, true}, {Buttons::copyAndRegenerate, false}},
        {"transcript", recording(text, none), {true, false, false}, {Buttons::generate, true}},
        {"empty transcript counts", recording(QString(), none), {true, false, false}, {Buttons::generate, true}},
        {"being transcribed", recording(QString(), none), {true, true, false}, {Buttons::generate, false}},
        {"transcript, model missing", recording(text, none), {false, false, false}, {Buttons::none, true}},
        {"empty recap, no transcript", recording(none, QString()), {true, false, false}, {Buttons::none, true}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(header(c.item, c.situation), c.header) << c.name;
}

TEST(RecapRules, TypeChangeStoresThenRegeneratesOnlyAnExistingRecap)
{
    EXPECT_FALSE(changesType(recording(text, none), RecordingType::meeting)) << "no type counts as Meeting";
    EXPECT_TRUE(changesType(recording(text, none), RecordingType::lecture));
    EXPECT_FALSE(changesType(recording(text, none, RecordingType::lecture), RecordingType::lecture));

    EXPECT_TRUE(regeneratesAfterTypeChange(recording(text, recap)));
    EXPECT_FALSE(regeneratesAfterTypeChange(recording(text, QString())));
    EXPECT_FALSE(regeneratesAfterTypeChange(recording(text, none)));
}
