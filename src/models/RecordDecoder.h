#pragma once

#include "models/RecordingItem.h"

#include <QString>

#include <memory>
#include <optional>
#include <string_view>

// Decodes one record of the library index from its JSON text. Keys are matched
// by name and unknown keys are ignored; a missing or null optional is absent;
// the seven others are required. A record fails on a missing key, a value of
// the wrong kind, a malformed id or a number no double holds (1e999). Looser
// than that, so that no record is lost to a newer or older writer: a recording
// type this version does not know reads as none, and a lone surrogate escape
// (which the earlier writer made) reads as that code unit. Waveforms longer
// than the views draw are reduced as they are read.
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

    // The record, or nothing with `problem` saying why.
    std::optional<RecordingItem> decode(std::string_view text, QString& problem);

private:
    // `capacity` counts the readable bytes from the start of `text`.
    std::optional<RecordingItem> decodeText(std::string_view text, size_t capacity, QString& problem);

    struct Parser;
    std::unique_ptr<Parser> m_parser;
};
