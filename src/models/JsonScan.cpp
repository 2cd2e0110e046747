#include "models/JsonScan.h"

#include <cstdint>
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

// The walk's state between blocks of text.
struct ContainerWalk {
    size_t depth = 0;
    bool inString = false;
    bool escapeNext = false; // the block ended on a backslash inside a string

    // Byte by byte over [at, end): the position after the closing bracket, or npos.
    size_t bytes(const char* text, size_t at, size_t end)
    {
        for (; at < end; ++at) {
            const char c = text[at];
            if (inString) {
                if (escapeNext)
                    escapeNext = false;
                else if (c == '\\')
                    escapeNext = true;
                else if (c == '"')
                    inString = false;
            } else if (c == '"') {
                inString = true;
            } else if (c == '{' || c == '[') {
                ++depth;
            } else if ((c == '}' || c == ']') && --depth == 0) {
                return at + 1;
            }
        }
        return JsonScan::npos;
    }
};

#if defined(__SSE2__)
// One bit per byte of the 64 at `at` that equals `c`.
struct Block {
    __m128i parts[4];

    explicit Block(const char* at)
    {
        for (int i = 0; i < 4; ++i)
            parts[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * i));
    }
    // Whether any byte is a quote, a backslash or a bracket. Most blocks of
    // a long transcript or waveform hold none, and cost only this.
    bool hasAnyMark() const
    {
        const __m128i marks[] = {_mm_set1_epi8('"'), _mm_set1_epi8('\\'), _mm_set1_epi8('['),
                                 _mm_set1_epi8(']'), _mm_set1_epi8('{'), _mm_set1_epi8('}')};
        __m128i hits = _mm_setzero_si128();
        for (const __m128i& part : parts) {
            for (const __m128i& mark : marks)
                hits = _mm_or_si128(hits, _mm_cmpeq_epi8(part, mark));
        }
        return _mm_movemask_epi8(hits) != 0;
    }
    uint64_t equal(char c) const
    {
        const __m128i needle = _mm_set1_epi8(c);
        uint64_t mask = 0;
        for (int i = 0; i < 4; ++i)
            mask |= uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(parts[i], needle)))) << (16 * i);
        return mask;
    }
};

// Bit i set when an odd number of the bits up to i are: with quote bits, the
// bytes from an opening quote up to (not including) its closing one.
uint64_t prefixXor(uint64_t bits)
{
    for (int shift = 1; shift < 64; shift *= 2)
        bits ^= bits << shift;
    return bits;
}
#endif

// Sixty-four bytes a step, as bit masks: strings are told apart by the quotes
// alone (a running parity), and brackets outside them counted, so a 100 MB
// record takes a few tens of milliseconds. A block with a backslash, and the
// tail, go byte by byte.
size_t endOfContainer(const char* text, size_t size, size_t from)
{
    ContainerWalk walk;
    size_t at = from;
#if defined(__SSE2__)
    for (; at + 64 <= size; at += 64) {
        const Block block(text + at);
        if (!walk.escapeNext && !block.hasAnyMark())
            continue;
        if (walk.escapeNext || block.equal('\\')) {
            const size_t end = walk.bytes(text, at, at + 64);
            if (end != JsonScan::npos)
                return end;
            continue;
        }
        const uint64_t strings = prefixXor(block.equal('"')) ^ (walk.inString ? ~uint64_t(0) : 0);
        walk.inString = strings >> 63;
        const uint64_t opens = (block.equal('{') | block.equal('[')) & ~strings;
        const uint64_t closes = (block.equal('}') | block.equal(']')) & ~strings;
        const auto closeCount = size_t(__builtin_popcountll(closes));
        if (closeCount < walk.depth) { // the container cannot end in this block
            walk.depth += size_t(__builtin_popcountll(opens)) - closeCount;
            continue;
        }
        for (uint64_t brackets = opens | closes; brackets; brackets &= brackets - 1) {
            const uint64_t bit = brackets & (~brackets + 1);
            if (opens & bit) {
                ++walk.depth;
            } else if (--walk.depth == 0) {
                return at + size_t(__builtin_ctzll(bit)) + 1;
            }
        }
    }
#endif
    return walk.bytes(text, at, size);
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
