#pragma once

#include <QList>
#include <QString>

#include <optional>
#include <string_view>

// Reads a record's "waveformSamples" array straight from its text into the
// bars the views draw, without a parser's index over it: a damaged record with
// millions of values loads in a blink and in little memory. Used for large
// records only; the values mean the same as through the record decoder.
namespace WaveformText {

// `text` is the array, brackets included, followed by 16 readable bytes.
// Nothing (and `problem` set) when it is not an array of JSON numbers that a
// double holds.
std::optional<QList<float>> read(std::string_view text, QString& problem);

} // namespace WaveformText
