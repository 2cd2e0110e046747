#pragma once

#include "models/RecordingItem.h"
#include "views/logic/ViewColor.h"

#include <QString>

#include <optional>

// The transcript of a stored recording: its header, which content stands
// below it, and how each timed row looks.
namespace TranscriptRules {

struct Header {
    std::optional<QString> subtitle; // "152 words • 3:07", only with a transcript
    bool showsCopy = false;
    QString transcribeLabel;
    bool transcribeEnabled = false;

    friend bool operator==(const Header&, const Header&) = default;
};

// `transcriptWords`: WordCount of the transcript, which the caller may keep
// for a long text. `anyTranscribing`: some recording, this one or another, is
// being transcribed.
Header header(const RecordingItem& item, qsizetype transcriptWords, bool anyTranscribing);

// The speech model as far as the cards care.
// `failed`: no model file, and the last download failed.
enum class SpeechModel { notDownloaded, downloading, failed, present };

enum class Content { transcribing, segments, plainText, modelCard, downloadCard, failedDownloadCard, noTranscriptCard };

Content content(const RecordingItem& item, bool isBeingTranscribed, SpeechModel model);

// "Transcribing "<title>"...", with the run's figure once there is one.
QString transcribingText(const QString& title, std::optional<int> percent = std::nullopt);
// The speech model download's line with its figure: "<message> 42%".
QString downloadingText(const QString& message, double progress);

struct RowFlags {
    bool active = false;
    bool hovered = false;
    bool playing = false;
    bool matching = false;
};

struct RowStyle {
    Tint background;
    Tint outline;
    Tint pillFill;
    ColorRole pillContent = ColorRole::primary;
    QString pillSymbol;
    TextWeight textWeight = TextWeight::regular;
    ColorRole textColor = ColorRole::primary;

    friend bool operator==(const RowStyle&, const RowStyle&) = default;
};

RowStyle rowStyle(const RowFlags& flags);

} // namespace TranscriptRules
