#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// Finding where JSON values end without decoding them: only strings and
// brackets are followed, so a value's inner syntax is left to its decoder.
// Every function may read up to 15 bytes past `size`.
namespace JsonScan {

constexpr size_t npos = size_t(-1);

inline bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

size_t skipSpace(const char* text, size_t size, size_t from);
// The position after the value starting at `from` (an object, array, string
// or scalar), or `npos` when the text ends inside it.
size_t endOfValue(const char* text, size_t size, size_t from);
// The position after the string whose opening quote is at `from`, or `npos`.
size_t endOfString(const char* text, size_t size, size_t from);

struct Span {
    size_t offset = 0;
    size_t size = 0;
};
// Where the value of the object's (last) member named `quotedKey` (its raw
// JSON text, quotes included) stands; nothing when there is none, or when the
// text is no well-formed object, which its decoder reports.
std::optional<Span> memberValue(std::string_view object, std::string_view quotedKey);

} // namespace JsonScan
