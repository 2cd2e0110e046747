#pragma once

#include "models/RecordingItem.h"

#include <QString>

#include <memory>
#include <optional>
#include <string_view>

// Decodes one record of the library index from its JSON text. Keys are matched
// by name and unknown keys are ignored; a missing or null optional is absent.
// A record read as written needs the seven required keys, values of the right
// kind and numbers a double holds; a recording type this version does not know
// reads as none, and a lone surrogate escape (which the earlier writer made)
// reads as that code unit. A record that does not read so is read again and
// mended where that needs no guess: invalid UTF-8 becomes U+FFFD, a waveform
// value that is no finite number 0, another value that cannot be read its
// default, a transcript segment that cannot be read is left out. Only a record
// whose id, file name or date cannot be read fails. Titles are cut to
// `longestTitle` characters; waveforms longer than the views draw are reduced
// as they are read.
//
// Keeps its parser between records; one decoder per thread.
class RecordDecoder {
public:
    RecordDecoder();
    ~RecordDecoder();
    RecordDecoder(const RecordDecoder&) = delete;
    RecordDecoder& operator=(const RecordDecoder&) = delete;

    // Bytes that must be readable (of any value) after the record's text.
    static size_t padding();

    // Characters of a title the library keeps.
    static constexpr int longestTitle = 1000;
    // Cuts `title` to `longestTitle` characters (code points); true when it was longer.
    static bool cutTitle(QString& title);

    // The record, or nothing with `problem` saying why. `mended` tells that
    // the record differs from its text (mended or a title cut), whose
    // original then needs keeping elsewhere.
    std::optional<RecordingItem> decode(std::string_view text, QString& problem, bool* mended = nullptr);

private:
    // `capacity` counts the readable bytes from the start of `text`.
    std::optional<RecordingItem> decodeWhole(std::string_view text, size_t capacity, bool lenient, QString& problem,
                                             bool& titleCut);
    std::optional<RecordingItem> decodeText(std::string_view text, size_t capacity, bool lenient, QString& problem,
                                            bool& titleCut);

    struct Parser;
    std::unique_ptr<Parser> m_parser;
};
