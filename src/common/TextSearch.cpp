#include "common/TextSearch.h"

#include <QThreadPool>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include <immintrin.h>

#include <cstdint>

namespace {

// Characters other than A-Z whose simple case folding is an ASCII letter:
// KELVIN SIGN folds to "k", LATIN SMALL LETTER LONG S to "s". Nothing folds
// to an ASCII character that is not a letter.
constexpr char16_t kelvinSign = 0x212A;
constexpr char16_t longS = 0x017F;

char16_t asciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

// Whether `c` folds to the ASCII character `lower` (already lowered).
bool foldsTo(char16_t c, char16_t lower)
{
    if (c == lower)
        return true;
    if (lower < u'a' || lower > u'z')
        return false;
    return c == lower - 32 || (lower == u'k' && c == kelvinSign) || (lower == u's' && c == longS);
}

bool matchesAt(const char16_t* at, const char16_t* needle, qsizetype length)
{
    for (qsizetype k = 0; k < length; ++k) {
        if (!foldsTo(at[k], needle[k]))
            return false;
    }
    return true;
}

// Sixteen-bit lanes of `chunk` that may fold to `lower`: its two cases, and
// anything outside ASCII (checked exactly afterwards).
__m128i candidates(__m128i chunk, char16_t lower)
{
    const bool letter = lower >= u'a' && lower <= u'z';
    const __m128i small = _mm_set1_epi16(static_cast<short>(lower));
    const __m128i capital = _mm_set1_epi16(static_cast<short>(letter ? lower - 32 : lower));
    // Lanes of 0x80 and above: signed compare after flipping the sign bit.
    const __m128i flip = _mm_set1_epi16(static_cast<short>(0x8000));
    const __m128i wide = _mm_cmpgt_epi16(_mm_xor_si128(chunk, flip), _mm_set1_epi16(static_cast<short>(0x8000 + 0x7f)));
    const __m128i same = _mm_or_si128(_mm_cmpeq_epi16(chunk, small), _mm_cmpeq_epi16(chunk, capital));
    return letter ? _mm_or_si128(same, wide) : same;
}

// Sixteen lanes at a time, for processors with AVX2 (most since 2013).
__attribute__((target("avx2"))) __m256i candidates(__m256i chunk, char16_t lower)
{
    const bool letter = lower >= u'a' && lower <= u'z';
    const __m256i small = _mm256_set1_epi16(static_cast<short>(lower));
    const __m256i capital = _mm256_set1_epi16(static_cast<short>(letter ? lower - 32 : lower));
    const __m256i flip = _mm256_set1_epi16(static_cast<short>(0x8000));
    const __m256i wide
        = _mm256_cmpgt_epi16(_mm256_xor_si256(chunk, flip), _mm256_set1_epi16(static_cast<short>(0x8000 + 0x7f)));
    const __m256i same = _mm256_or_si256(_mm256_cmpeq_epi16(chunk, small), _mm256_cmpeq_epi16(chunk, capital));
    return letter ? _mm256_or_si256(same, wide) : same;
}

// The first and the last character of the needle are looked for several
// positions at a time; only where both may fit is the whole needle compared.
__attribute__((target("avx2"))) qsizetype scanWide(const char16_t* text, qsizetype positions, const char16_t* needle,
                                                   qsizetype length, bool* found)
{
    const char16_t first = needle[0];
    const char16_t last = needle[length - 1];
    qsizetype i = 0;
    for (; i + 16 <= positions; i += 16) {
        const __m256i head = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i));
        const __m256i tail = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i + length - 1));
        const __m256i both = _mm256_and_si256(candidates(head, first), candidates(tail, last));
        unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(both));
        while (mask != 0) {
            const int lane = __builtin_ctz(mask) / 2;
            if (matchesAt(text + i + lane, needle, length)) {
                *found = true;
                return i;
            }
            mask &= ~(3u << (lane * 2));
        }
    }
    return i;
}

qsizetype scanNarrow(const char16_t* text, qsizetype from, qsizetype positions, const char16_t* needle,
                     qsizetype length, bool* found)
{
    const char16_t first = needle[0];
    const char16_t last = needle[length - 1];
    qsizetype i = from;
    for (; i + 8 <= positions; i += 8) {
        const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + length - 1));
        const __m128i both = _mm_and_si128(candidates(head, first), candidates(tail, last));
        // Two mask bits per sixteen-bit lane.
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(both));
        while (mask != 0) {
            const int lane = __builtin_ctz(mask) / 2;
            if (matchesAt(text + i + lane, needle, length)) {
                *found = true;
                return i;
            }
            mask &= ~(3u << (lane * 2));
        }
    }
    return i;
}

bool containsAscii(const char16_t* text, qsizetype size, const char16_t* needle, qsizetype length)
{
    static const bool avx2 = __builtin_cpu_supports("avx2");
    const qsizetype positions = size - length + 1;
    bool found = false;
    qsizetype i = avx2 ? scanWide(text, positions, needle, length, &found) : 0;
    if (found)
        return true;
    i = scanNarrow(text, i, positions, needle, length, &found);
    if (found)
        return true;
    for (; i < positions; ++i) {
        if (matchesAt(text + i, needle, length))
            return true;
    }
    return false;
}

} // namespace

namespace TextSearch {

bool containsIgnoringCase(QStringView haystack, QStringView needle)
{
    if (needle.isEmpty())
        return true;
    if (needle.size() > haystack.size())
        return false;
    // Only an ASCII needle has the simple folding above; any other goes the
    // general way.
    char16_t lowered[64];
    if (needle.size() > qsizetype(std::size(lowered)))
        return haystack.contains(needle, Qt::CaseInsensitive);
    for (qsizetype k = 0; k < needle.size(); ++k) {
        const char16_t c = needle.utf16()[k];
        if (c >= 0x80)
            return haystack.contains(needle, Qt::CaseInsensitive);
        lowered[k] = asciiLower(c);
    }
    return containsAscii(haystack.utf16(), haystack.size(), lowered, needle.size());
}

} // namespace TextSearch

namespace TextSearch {

std::vector<char> testEach(qsizetype count, const std::function<bool(qsizetype)>& test)
{
    std::vector<char> results(static_cast<size_t>(std::max<qsizetype>(0, count)));
    constexpr qsizetype perChunk = 128;
    const qsizetype chunks = (count + perChunk - 1) / perChunk;
    // The caller works through the chunks itself and helpers from the thread
    // pool take what they can: a busy machine whose helpers start late costs
    // no waiting, as a helper that comes after the last chunk finds nothing.
    struct Shared {
        std::atomic<qsizetype> next{0};
        std::atomic<qsizetype> finished{0};
        qsizetype chunks = 0;
        std::function<void(qsizetype)> run;
        std::mutex mutex;
        std::condition_variable allDone;
    };
    auto shared = std::make_shared<Shared>();
    shared->chunks = chunks;
    shared->run = [&](qsizetype chunk) {
        const qsizetype end = std::min(count, (chunk + 1) * perChunk);
        for (qsizetype i = chunk * perChunk; i < end; ++i)
            results[static_cast<size_t>(i)] = test(i);
    };
    const auto work = [](Shared& state) {
        for (;;) {
            const qsizetype chunk = state.next.fetch_add(1);
            if (chunk >= state.chunks)
                return;
            state.run(chunk);
            if (state.finished.fetch_add(1) + 1 == state.chunks) {
                std::lock_guard lock(state.mutex);
                state.allDone.notify_all();
            }
        }
    };
    QThreadPool* pool = QThreadPool::globalInstance();
    const qsizetype helpers = std::min<qsizetype>(chunks - 1, pool->maxThreadCount() - 1);
    for (qsizetype i = 0; i < helpers; ++i)
        pool->start([shared, work] { work(*shared); });
    work(*shared);
    std::unique_lock lock(shared->mutex);
    shared->allDone.wait(lock, [&] { return shared->finished.load() >= chunks; });
    return results;
}

} // namespace TextSearch
