#include "views/logic/StatusBadgeRules.h"

#include <gtest/gtest.h>

namespace {

using namespace StatusBadgeRules;

UpdateInfo offer(const QString& version, std::optional<QString> notes = std::nullopt)
{
    UpdateInfo info;
    info.version = version;
    info.build = 12;
    info.downloadURL = QStringLiteral("https://updates.example/u.zip");
    info.releaseNotes = notes;
    return info;
}

TEST(UpdateBadgeRules, EveryStateInBothWidths)
{
    struct Case {
        UpdateState state;
        bool compact;
        Form form;
        QString text;
        QString toolTip;
    };
    const QString v = QStringLiteral("1.1.0");
    const Case cases[] = {
        {UpdateState::idle(), false, Form::nothing, {}, {}},
        {UpdateState::idle(), true, Form::nothing, {}, {}},
        {UpdateState::checking(), false, Form::capsule, QStringLiteral("Checking updates..."), {}},
        {UpdateState::checking(), true, Form::capsule, QStringLiteral("Checking..."), {}},
        {UpdateState::upToDate(), false, Form::capsule, QStringLiteral("v1.1.0 Up to Date"), {}},
        {UpdateState::upToDate(), true, Form::capsule, QStringLiteral("v1.1.0"), QStringLiteral("v1.1.0 Up to Date")},
        {UpdateState::available(offer(QStringLiteral("1.2"))), true, Form::button, QStringLiteral("Update v1.2"), {}},
        {UpdateState::downloading(0.0, QStringLiteral("Connecting to server...")), false, Form::capsule,
         QStringLiteral("0%"), QStringLiteral("Connecting to server...")},
        {UpdateState::downloading(1.0, QStringLiteral("Extracting package...")), true, Form::capsule,
         QStringLiteral("100%"), QStringLiteral("Extracting package...")},
        {UpdateState::readyToInstall(offer(QStringLiteral("1.2")), QStringLiteral("/s/Nimbrel.app")), false,
         Form::restartButton, QStringLiteral("Restart to Update (v1.2)"),
         QStringLiteral("Nimbrel v1.2 is downloaded. Click to restart and apply.")},
        {UpdateState::error(QStringLiteral("Server returned HTTP 404")), true, Form::plainRow,
         QStringLiteral("Update check failed"), QStringLiteral("Server returned HTTP 404")},
    };
    for (const Case& c : cases) {
        const Look look = updateBadge(c.state, c.compact, v);
        EXPECT_EQ(look.form, c.form) << c.text.toStdString();
        EXPECT_EQ(look.text, c.text);
        EXPECT_EQ(look.toolTip, c.toolTip) << c.text.toStdString();
    }
    // Only checking and up-to-date change with the width.
    for (const UpdateState& state : {UpdateState::available(offer(QStringLiteral("2"))),
                                     UpdateState::downloading(0.5, QStringLiteral("m")),
                                     UpdateState::error(QStringLiteral("e"))})
        EXPECT_EQ(updateBadge(state, true, v), updateBadge(state, false, v));
}

TEST(UpdateBadgeRules, PercentagesTruncateAndTheAlertEndsWithTheNotes)
{
    EXPECT_EQ(percentText(0), QStringLiteral("0%"));
    EXPECT_EQ(percentText(0.999), QStringLiteral("99%"));
    EXPECT_EQ(percentText(1.0), QStringLiteral("100%"));
    EXPECT_EQ(percentText(0.29), QStringLiteral("28%")); // 0.29 * 100 is just below 29

    const QString head = QStringLiteral(
        "Nimbrel v1.2 has been downloaded and is ready to install. The app will restart in a second.\n\n");
    EXPECT_EQ(restartAlertMessage(offer(QStringLiteral("1.2"), QStringLiteral("Faster start"))),
              head + QStringLiteral("Faster start"));
    EXPECT_EQ(restartAlertMessage(offer(QStringLiteral("1.2"))), head);
}

TEST(UpdateBadgeRules, LongReleaseNotesKeepTheirStartInTheMessageAndGoWholeToTheDetails)
{
    const QString head = QStringLiteral(
        "Nimbrel v2.0 has been downloaded and is ready to install. The app will restart in a second.\n\n");
    struct Case {
        QString notes;
        QString shownNotes; // empty: shown whole, no details
    };
    const QString twelveLines = QStringLiteral("line\n").repeated(12);
    const QString emojiAtCut = QString(599, QLatin1Char('a')) + QStringLiteral("😀tail");
    const Case cases[] = {
        {QStringLiteral("Faster start"), {}},
        {QString(600, QLatin1Char('x')), {}},
        {QString(601, QLatin1Char('x')), QString(600, QLatin1Char('x')) + QStringLiteral("…")},
        {QStringLiteral("line\n").repeated(11) + QStringLiteral("last"), {}},
        {twelveLines + QStringLiteral("more"), QStringLiteral("line\n").repeated(11) + QStringLiteral("line…")},
        // A character outside the basic plane is never split.
        {emojiAtCut, QString(599, QLatin1Char('a')) + QStringLiteral("…")},
    };
    for (const Case& c : cases) {
        const RestartAlertText text = restartAlertText(offer(QStringLiteral("2.0"), c.notes));
        if (c.shownNotes.isEmpty()) {
            EXPECT_EQ(text.message, head + c.notes);
            EXPECT_TRUE(text.details.isEmpty());
        } else {
            EXPECT_EQ(text.message, head + c.shownNotes) << c.notes.left(20).toStdString();
            EXPECT_EQ(text.details, c.notes);
        }
    }
}

TEST(SpeechModelBadgeRules, EveryStateInBothWidths)
{
    struct Case {
        WhisperModelState state;
        bool compact;
        Form form;
        QString text;
    };
    const QString message = QStringLiteral("Downloading Whisper model...");
    const Case cases[] = {
        {WhisperModelState::ready(QStringLiteral("ggml.bin")), false, Form::nothing, {}},
        {WhisperModelState::loading(), false, Form::capsule, QStringLiteral("Loading Speech Model...")},
        {WhisperModelState::loading(), true, Form::capsule, QStringLiteral("Loading...")},
        {WhisperModelState::downloading(0.4, message), false, Form::capsule, message + QStringLiteral(" 40%")},
        {WhisperModelState::downloading(0.999, message), true, Form::capsule, QStringLiteral("Downloading... 99%")},
        {WhisperModelState::notDownloaded(), false, Form::button, QStringLiteral("Download Speech Model")},
        {WhisperModelState::notDownloaded(), true, Form::button, QStringLiteral("Model")},
        // A failure is its reason in one line and a way to try again.
        {WhisperModelState::error(QStringLiteral("Download failed: x")), true, Form::button,
         QStringLiteral("Retry Model")},
        {WhisperModelState::error(QStringLiteral("Download failed: x")), false, Form::button,
         QStringLiteral("Download failed: x \u00b7 Retry")},
        {WhisperModelState::error(QStringLiteral("\nDownload failed: the server said\nmore\n")), false, Form::button,
         QStringLiteral("Download failed: the server said \u00b7 Retry")},
        {WhisperModelState::error(QStringLiteral("Download failed: ") + QString(80, QLatin1Char('z'))), false,
         Form::button, QStringLiteral("Download failed: ") + QString(30, QLatin1Char('z')) + QChar(0x2026)
             + QStringLiteral(" \u00b7 Retry")},
    };
    for (const Case& c : cases) {
        const Look look = speechModelBadge(c.state, c.compact);
        EXPECT_EQ(look.form, c.form) << c.text.toStdString();
        EXPECT_EQ(look.text, c.text);
    }
    EXPECT_EQ(speechModelBadge(WhisperModelState::downloading(0.4, message), true).toolTip, message);
    EXPECT_EQ(speechModelBadge(WhisperModelState::downloading(0.4, message), true).leading, Leading::spinner);
    EXPECT_EQ(speechModelBadge(WhisperModelState::error(QStringLiteral("Download failed: x")), false).horizontalPadding, 8);
}

} // namespace
