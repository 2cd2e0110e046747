#include "models/IndexSplitter.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

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

} // namespace

IndexSplitter::IndexSplitter(const char* text, size_t size)
    : m_text(text)
    , m_size(size)
{
}

std::nullopt_t IndexSplitter::fail(const QString& why)
{
    m_damage = why;
    m_finished = true;
    return std::nullopt;
}

void IndexSplitter::skipSpace()
{
    while (m_position < m_size && isSpace(m_text[m_position]))
        ++m_position;
}

std::optional<std::string_view> IndexSplitter::next()
{
    if (m_finished)
        return std::nullopt;
    skipSpace();
    if (!m_started) {
        if (m_position >= m_size || m_text[m_position] != '[')
            return fail(QStringLiteral("the index is not a JSON array"));
        ++m_position;
        skipSpace();
        m_started = true;
        if (m_position < m_size && m_text[m_position] == ']') {
            ++m_position;
            m_finished = true;
        }
    } else if (m_position < m_size && m_text[m_position] == ',') {
        ++m_position;
        skipSpace();
    } else if (m_position < m_size && m_text[m_position] == ']') {
        ++m_position;
        m_finished = true;
    } else {
        return fail(QStringLiteral("the index ends early or has a missing comma"));
    }
    if (m_finished) {
        skipSpace();
        if (m_position != m_size)
            return fail(QStringLiteral("the index has text after its end"));
        return std::nullopt;
    }
    if (m_position >= m_size)
        return fail(QStringLiteral("the index ends early"));

    const size_t start = m_position;
    const char first = m_text[start];
    size_t end = npos;
    if (first == '{' || first == '[')
        end = endOfContainer(start);
    else if (first == '"')
        end = endOfString(start);
    else if (first != ',' && first != ']')
        end = endOfScalar(start);
    if (end == npos)
        return fail(QStringLiteral("the index ends inside a record or has a misplaced comma"));
    m_position = end;
    return std::string_view(m_text + start, end - start);
}

size_t IndexSplitter::endOfContainer(size_t from) const
{
    int depth = 0;
    size_t at = from;
    while (true) {
        at = findAny(m_text, at, m_size, "{}[]\"");
        if (at >= m_size)
            return npos;
        switch (m_text[at]) {
        case '"':
            at = endOfString(at);
            if (at == npos)
                return npos;
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

size_t IndexSplitter::endOfString(size_t from) const
{
    size_t at = from + 1;
    while (true) {
        at = findAny(m_text, at, m_size, "\"\\");
        if (at >= m_size)
            return npos;
        if (m_text[at] == '"')
            return at + 1;
        at += 2; // the escaped character, whatever it is
    }
}

size_t IndexSplitter::endOfScalar(size_t from) const
{
    size_t at = from;
    while (at < m_size && m_text[at] != ',' && m_text[at] != ']' && !isSpace(m_text[at]))
        ++at;
    return at;
}
