#pragma once

#include <QMetaType>
#include <QString>

#include <iosfwd>

// Where the speech model stands, as the views show it. Each case carries only
// its own values; the others stay empty, so equality is field by field.
struct WhisperModelState {
    enum class Case { downloading, ready, error, notDownloaded, loading };

    Case state = Case::notDownloaded;
    double progress = 0; // downloading: 0.0 ... 1.0
    QString message;     // downloading and error: the line shown
    QString modelName;   // ready: the model's file name

    static WhisperModelState downloading(double progress, const QString& message);
    static WhisperModelState ready(const QString& modelName);
    static WhisperModelState error(const QString& message);
    static WhisperModelState notDownloaded();
    static WhisperModelState loading();

    bool is(Case c) const { return state == c; }

    friend bool operator==(const WhisperModelState&, const WhisperModelState&) = default;
};

// Readable test failures.
void PrintTo(const WhisperModelState& state, std::ostream* out);

Q_DECLARE_METATYPE(WhisperModelState)
