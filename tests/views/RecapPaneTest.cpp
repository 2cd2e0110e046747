// The Recap tab of a stored recording: the card or the recap, the header,
// and the type menu.

#include "PaneFixture.h"

#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "views/detail/DetailPanel.h"
#include "views/detail/ModelDownloadCard.h"
#include "views/detail/PlaybackRecapView.h"
#include "views/detail/ReadyToGenerateCard.h"
#include "views/detail/RecapContentView.h"
#include "views/detail/RecapMarkdownScrollView.h"
#include "views/detail/RecordingTypeMenu.h"
#include "views/detail/TranscriptRequiredCard.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using RecapRules::Body;

namespace {

const QString recap
    = QStringLiteral("# 📌 Executive Summary\nWe agreed to **ship**.\n# ✅ Next Steps\n- [ ] Call Anna");

class RecapPane : public PaneFixture {
protected:
    PlaybackRecapView& recapOf(const RecordingItem& item, bool modelPresent = true)
    {
        setPaneRecapModelPresent(modelPresent);
        seedLibrary({item});
        makeDetailArea();
        m_vm->library().setActiveDetailTab(DetailViewTab::recap);
        settle();
        return *m_area->recapView()->playbackView();
    }

    RecordingItem withTexts(std::optional<QString> transcript, std::optional<QString> summary,
                            std::optional<RecordingType> type = std::nullopt)
    {
        RecordingItem item = makeRecording(QStringLiteral("Board meeting"), 3);
        item.transcript = std::move(transcript);
        item.summary = std::move(summary);
        item.recordingType = type;
        return item;
    }

    RecordingItem current() const { return m_vm->library().recordings().first(); }
};

} // namespace

TEST_F(RecapPane, MissingModelFileShowsTheDownloadCardEvenWithARecap)
{
    PlaybackRecapView& view = recapOf(withTexts(QStringLiteral("words"), recap), false);
    EXPECT_EQ(view.body(), Body::modelDownload);
    EXPECT_TRUE(qobject_cast<ModelDownloadCard*>(view.bodyWidget()));
    EXPECT_EQ(view.panel()->subtitleLabel()->text(), "Executive Recap • 17 words • Meeting");
    EXPECT_TRUE(view.copyButton()->isVisible());
    EXPECT_TRUE(view.regenerateButton()->isVisible());
    EXPECT_TRUE(view.typeMenu()->isVisible());
}

TEST_F(RecapPane, RecapShowsItsSectionsWithCopyAndRegenerate)
{
    PlaybackRecapView& view = recapOf(withTexts(QStringLiteral("words"), recap, RecordingType::lecture));
    EXPECT_EQ(view.body(), Body::recap);
    auto* sections = qobject_cast<RecapMarkdownScrollView*>(view.bodyWidget());
    ASSERT_TRUE(sections);
    QStringList titles;
    for (QLabel* title : sections->findChildren<QLabel*>(QStringLiteral("recapSectionTitle")))
        titles.append(title->text());
    EXPECT_EQ(titles, (QStringList{QStringLiteral("📌 Executive Summary"), QStringLiteral("✅ Next Steps")}));

    QTest::mouseClick(view.copyButton(), Qt::LeftButton);
    EXPECT_EQ(m_clipboard->texts, QStringList{recap});

    QTest::mouseClick(view.regenerateButton(), Qt::LeftButton);
    ASSERT_EQ(m_recap->calls.count(), 1);
    EXPECT_EQ(m_recap->types.first(), RecordingType::lecture);
    settle();
    EXPECT_EQ(view.body(), Body::generating);
    EXPECT_FALSE(view.regenerateButton()->isEnabled());
}

TEST_F(RecapPane, CardsForTheRecordingsState)
{
    struct Case {
        const char* name;
        std::optional<QString> transcript;
        std::optional<QString> summary;
        Body body;
        bool generateInHeader;
    } cases[] = {
        {"transcript, no recap", QStringLiteral("words here"), std::nullopt, Body::readyToGenerate, true},
        {"empty recap", QStringLiteral("words here"), QString(), Body::readyToGenerate, true},
        {"empty transcript", QString(), std::nullopt, Body::transcriptRequired, true},
        {"nothing", std::nullopt, std::nullopt, Body::transcriptRequired, false},
    };
    for (const auto& c : cases) {
        PlaybackRecapView& view = recapOf(withTexts(c.transcript, c.summary));
        EXPECT_EQ(view.body(), c.body) << c.name;
        EXPECT_EQ(view.generateButton()->isVisible(), c.generateInHeader) << c.name;
        EXPECT_FALSE(view.copyButton()->isVisible()) << c.name;
        m_area.reset();
        m_vm.reset();
    }
}

TEST_F(RecapPane, TypeChangeRegeneratesOnlyAnExistingRecap)
{
    PlaybackRecapView& without = recapOf(withTexts(QStringLiteral("words"), std::nullopt));
    without.typeMenu()->choose(RecordingType::meeting);
    EXPECT_FALSE(current().recordingType) << "choosing the effective type changes nothing";
    without.typeMenu()->choose(RecordingType::interview);
    EXPECT_EQ(current().recordingType, RecordingType::interview);
    EXPECT_EQ(m_recap->calls.count(), 0);
    settle();
    EXPECT_EQ(without.typeMenu()->current(), RecordingType::interview);
    EXPECT_EQ(without.panel()->subtitleLabel()->text(), "Executive Recap • Interview");

    m_area.reset();
    m_vm.reset();
    PlaybackRecapView& with = recapOf(withTexts(QStringLiteral("words"), recap));
    with.typeMenu()->choose(RecordingType::quickNote);
    EXPECT_EQ(current().recordingType, RecordingType::quickNote);
    ASSERT_EQ(m_recap->calls.count(), 1);
    EXPECT_EQ(m_recap->types.first(), RecordingType::quickNote);
}

TEST_F(RecapPane, ReadyCardPicksTheFormatAndGeneratesWithIt)
{
    PlaybackRecapView& view = recapOf(withTexts(QStringLiteral("words"), std::nullopt));
    auto* card = qobject_cast<ReadyToGenerateCard*>(view.bodyWidget());
    ASSERT_TRUE(card);
    EXPECT_EQ(card->formatPicker()->current(), RecordingType::meeting);

    card->formatPicker()->choose(RecordingType::lecture);
    EXPECT_EQ(current().recordingType, RecordingType::lecture);
    EXPECT_EQ(m_recap->calls.count(), 0) << "picking a format does not generate";
    settle();
    card = qobject_cast<ReadyToGenerateCard*>(view.bodyWidget());
    ASSERT_TRUE(card);
    EXPECT_EQ(card->formatPicker()->current(), RecordingType::lecture);

    QTest::mouseClick(card->generateButton(), Qt::LeftButton);
    ASSERT_EQ(m_recap->calls.count(), 1);
    EXPECT_EQ(m_recap->types.first(), RecordingType::lecture);
}

TEST_F(RecapPane, TranscribeButtonWaitsForAnyRunningTranscription)
{
    const RecordingItem shown = withTexts(std::nullopt, std::nullopt);
    const RecordingItem other = makeRecording(QStringLiteral("Other"), 8);
    setPaneRecapModelPresent(true);
    seedLibrary({shown, other});
    makeDetailArea();
    m_vm->library().setActiveDetailTab(DetailViewTab::recap);
    settle();
    PlaybackRecapView& view = *m_area->recapView()->playbackView();
    auto* card = qobject_cast<TranscriptRequiredCard*>(view.bodyWidget());
    ASSERT_TRUE(card);

    m_vm->processing().transcribeRecording(m_vm->library().recordings().at(1));
    settle();
    EXPECT_FALSE(card->transcribeButton()->isEnabled());
    m_transcriber->calls.resolveLast(TranscriptionService::Transcription{QStringLiteral("x"), {}});
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().transcribingRecordingIDs().isEmpty(); }));
    settle();
    EXPECT_TRUE(card->transcribeButton()->isEnabled());

    QTest::mouseClick(card->transcribeButton(), Qt::LeftButton);
    settle();
    EXPECT_EQ(view.body(), Body::transcribing);
}
