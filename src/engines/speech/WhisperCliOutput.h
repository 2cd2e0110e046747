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

} // namespace WhisperCliOutput
