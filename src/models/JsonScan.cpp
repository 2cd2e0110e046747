#include "models/JsonScan.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The first position from `from` on whose byte is one of `wanted` (at most
// six), or `size`. Reads up to 15 bytes past `size`.
template <size_t N>
size_t findAny(const char* text, size_t from, size_t size, const char (&wanted)[N])
{
    static_assert(N - 1 <= 6);
    size_t at = from;
#if defined(__SSE2__)
    // Sixteen bytes a step: transcripts and waveforms hold long stretches
    // with none of the characters the walk stops at.
    __m128i needles[N - 1];
    for (size_t i = 0; i + 1 < N; ++i)
        needles[i] = _mm_set1_epi8(wanted[i]);
    while (at < size) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
        __m128i hits = _mm_cmpeq_epi8(block, needles[0]);
        for (size_t i = 1; i + 1 < N; ++i)
            hits = _mm_or_si128(hits, _mm_cmpeq_epi8(block, needles[i]));
        const int mask = _mm_movemask_epi8(hits);
        if (mask) {
            const size_t found = at + size_t(__builtin_ctz(unsigned(mask)));
            return found < size ? found : size;
        }
        at += 16;
    }
    return size;
#else
    for (; at < size; ++at) {
        if (std::memchr(wanted, text[at], N - 1))
            return at;
    }
    return size;
#endif
}

size_t endOfContainer(const char* text, size_t size, size_t from)
{
    int depth = 0;
    size_t at = from;
    while (true) {
        at = findAny(text, at, size, "{}[]\"");
        if (at >= size)
            return JsonScan::npos;
        switch (text[at]) {
        case '"':
            at = JsonScan::endOfString(text, size, at);
            if (at == JsonScan::npos)
                return JsonScan::npos;
            continue;
        case '{':
        case '[':
            ++depth;
            break;
        default:
            if (--depth == 0)
                return at + 1;
            break;
        }
        ++at;
    }
}

} // namespace

namespace JsonScan {

size_t skipSpace(const char* text, size_t size, size_t from)
{
    while (from < size && isSpace(text[from]))
        ++from;
    return from;
}

size_t endOfString(const char* text, size_t size, size_t from)
{
    size_t at = from + 1;
    while (true) {
        at = findAny(text, at, size, "\"\\");
        if (at >= size)
            return npos;
        if (text[at] == '"')
            return at + 1;
        at += 2; // the escaped character, whatever it is
    }
}

size_t endOfValue(const char* text, size_t size, size_t from)
{
    if (from >= size)
        return npos;
    const char first = text[from];
    if (first == '{' || first == '[')
        return endOfContainer(text, size, from);
    if (first == '"')
        return endOfString(text, size, from);
    if (first == ',' || first == ']' || first == '}' || first == ':' || isSpace(first))
        return npos;
    size_t at = from;
    while (at < size && text[at] != ',' && text[at] != ']' && text[at] != '}' && !isSpace(text[at]))
        ++at;
    return at;
}

std::optional<Span> memberValue(std::string_view object, std::string_view quotedKey)
{
    const char* text = object.data();
    const size_t size = object.size();
    size_t at = skipSpace(text, size, 0);
    if (at >= size || text[at] != '{')
        return std::nullopt;
    std::optional<Span> found;
    at = skipSpace(text, size, at + 1);
    if (at < size && text[at] == '}')
        return std::nullopt;
    while (at < size && text[at] == '"') {
        const size_t keyEnd = endOfString(text, size, at);
        if (keyEnd == npos)
            return std::nullopt;
        const std::string_view key = object.substr(at, keyEnd - at);
        at = skipSpace(text, size, keyEnd);
        if (at >= size || text[at] != ':')
            return std::nullopt;
        at = skipSpace(text, size, at + 1);
        const size_t valueEnd = endOfValue(text, size, at);
        if (valueEnd == npos)
            return std::nullopt;
        if (key == quotedKey)
            found = Span{at, valueEnd - at};
        at = skipSpace(text, size, valueEnd);
        if (at < size && text[at] == '}')
            return found;
        if (at >= size || text[at] != ',')
            return std::nullopt;
        at = skipSpace(text, size, at + 1);
    }
    return std::nullopt;
}

} // namespace JsonScan
