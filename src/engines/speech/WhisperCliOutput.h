#pragma once

#include "engines/speech/Transcription.h"

#include <QByteArray>

#include <optional>

// Reads the JSON file that whisper-cli writes with -oj: the "transcription"
// array (each element's "offsets" "from" and "to" in whole milliseconds and its
// "text") and the detected language under "result". Nothing when the file is
// not such an object or one element lacks a field; a missing or null
// "transcription" is an empty transcript.
namespace WhisperCliOutput {

std::optional<Transcription> parse(const QByteArray& json);

// The last figure of the tool's "progress = N%" lines on standard error (with
// -pp), limited to 0 ... 100; nothing before the first.
std::optional<int> lastProgress(const QByteArray& standardError);
// Standard error without those lines: what the tool had to complain about.
QByteArray withoutProgress(const QByteArray& standardError);

} // namespace WhisperCliOutput
