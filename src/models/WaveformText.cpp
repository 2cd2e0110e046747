#include "models/WaveformText.h"

#include "models/JsonScan.h"
#include "models/WaveformReducer.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <thread>
#include <vector>
#include <cstdint>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

constexpr uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// The digits at the start of eight bytes, read at once (a stored value is
// mostly "0." and seven to nine digits): their count, and their value in
// `value`. No branch per digit, which a million values would pay for.
int leadingDigits(const char* at, uint64_t& value)
{
    uint64_t chunk;
    std::memcpy(&chunk, at, 8);
    // Bytes that are not '0'...'9' give a non-zero byte here. A carry from a
    // non-digit may spoil the byte after it, which is never looked at.
    const uint64_t notDigits = ((chunk & 0xF0F0F0F0F0F0F0F0) ^ 0x3030303030303030)
        | (((chunk + 0x0606060606060606) & 0xF0F0F0F0F0F0F0F0) ^ 0x3030303030303030);
    const int count = notDigits ? __builtin_ctzll(notDigits) / 8 : 8;
    if (count == 0)
        return 0;
    // The digits to the high bytes and '0's before them: eight digits to read.
    if (count < 8)
        chunk = (chunk << (8 * (8 - count))) | (0x3030303030303030 >> (8 * count));
    chunk -= 0x3030303030303030;
    chunk = (chunk * 10) + (chunk >> 8);
    value = (((chunk & 0x000000FF000000FF) * (100 + (1000000ULL << 32)))
             + (((chunk >> 16) & 0x000000FF000000FF) * (1 + (10000ULL << 32))))
        >> 32;
    return count;
}

// One JSON number from `at`; the position after it, or nullptr when the text
// there is no JSON number or no double holds it (1e999).
const char* readNumber(const char* at, const char* end, double& out)
{
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    static constexpr double kInversePowers[] = {1e-0,  1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7,
                                                1e-8,  1e-9,  1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15,
                                                1e-16, 1e-17, 1e-18, 1e-19, 1e-20, 1e-21, 1e-22};
    const char* start = at;
    const bool negative = at < end && *at == '-';
    if (negative)
        ++at;
    if (at >= end || !isDigit(*at))
        return nullptr;
    uint64_t mantissa = 0;
    int significant = 0; // digits in `mantissa`, leading zeros left out
    bool dropped = false; // digits beyond what `mantissa` holds
    int exponent = 0;
    if (*at == '0') {
        ++at;
    } else {
        for (; at < end && isDigit(*at); ++at) {
            if (significant < 19) {
                mantissa = mantissa * 10 + uint64_t(*at - '0');
                ++significant;
            } else {
                dropped = true;
                ++exponent;
            }
        }
    }
    if (at < end && *at == '.') {
        ++at;
        if (at >= end || !isDigit(*at))
            return nullptr;
        // Leading zeros of the fraction count as nothing but the exponent.
        if (mantissa == 0) {
            for (; at < end && *at == '0'; ++at)
                --exponent;
        }
        // Eight at a time while they fit; the array's text ends in its ']', so
        // a run of digits never reaches past `end`.
        uint64_t digits = 0;
        for (int count; significant <= 11 && (count = leadingDigits(at, digits)) > 0;) {
            if (count > end - at)
                return nullptr;
            mantissa = mantissa * kPowersOfTen[count] + digits;
            significant += mantissa ? count : 0;
            exponent -= count;
            at += count;
            if (count < 8)
                break;
        }
        for (; at < end && isDigit(*at); ++at) {
            if (mantissa == 0 && *at == '0') {
                --exponent;
            } else if (significant < 19) {
                mantissa = mantissa * 10 + uint64_t(*at - '0');
                ++significant;
                --exponent;
            } else {
                dropped = true;
            }
        }
    }
    if (at < end && (*at == 'e' || *at == 'E')) {
        ++at;
        const bool negativeExponent = at < end && *at == '-';
        if (at < end && (*at == '-' || *at == '+'))
            ++at;
        if (at >= end || !isDigit(*at))
            return nullptr;
        int written = 0;
        for (; at < end && isDigit(*at); ++at)
            written = written < 100000 ? written * 10 + (*at - '0') : written;
        exponent += negativeExponent ? -written : written;
    }
    // Digits and power both exact in a double: within a double's last bit of
    // the exact value, far below what a float bar holds. Multiplying by the
    // inverse rather than dividing keeps millions of values quick.
    if (!dropped && significant <= 15 && exponent >= -22 && exponent <= 22) {
        const double value =
            exponent < 0 ? double(mantissa) * kInversePowers[-exponent] : double(mantissa) * kPowers[exponent];
        out = negative ? -value : value;
        return at;
    }
    const auto parsed = std::from_chars(start, at, out);
    if (parsed.ec != std::errc() || parsed.ptr != at)
        return nullptr;
    return at;
}

// A stretch of the array that ends just after a comma (or at the closing
// bracket, for the last): its values are parsed on a thread of their own.
struct Piece {
    const char* begin = nullptr;
    const char* end = nullptr;
    bool last = false;
    size_t first = 0;  // index of its first value in the whole array
    size_t values = 0; // values that start in it
    std::vector<float> peaks; // from bar `firstBar` on
    size_t firstBar = 0;
    bool ok = false;
};

// Bar b holds the values from ceil(b * count / bars) on; with no more values
// than bars, each value is a bar.
size_t barOf(size_t index, size_t count, size_t bars)
{
    return count <= bars ? index : index * bars / count;
}

size_t firstValueOf(size_t bar, size_t count, size_t bars)
{
    return count <= bars ? bar : (bar * count + bars - 1) / bars;
}

void parsePiece(Piece& piece, size_t count, size_t bars)
{
    const char* at = piece.begin;
    const char* const end = piece.end;
    size_t index = piece.first;
    piece.firstBar = barOf(index, count, bars);
    size_t nextBar = firstValueOf(piece.firstBar + 1, count, bars);
    float peak = 0;
    bool started = false;
    auto skip = [end](const char* p) {
        while (p < end && JsonScan::isSpace(*p))
            ++p;
        return p;
    };
    at = skip(at);
    while (at < end) {
        double value = 0;
        const char* after = readNumber(at, end, value);
        if (!after)
            return;
        const float sample = float(value);
        if (!started) {
            peak = sample;
            started = true;
        } else if (index == nextBar) {
            piece.peaks.push_back(peak);
            peak = sample;
            nextBar = firstValueOf(piece.firstBar + piece.peaks.size() + 1, count, bars);
        } else {
            peak = std::max(peak, sample);
        }
        ++index;
        at = skip(after);
        if (at < end && *at == ',') {
            at = skip(at + 1);
            if (at >= end && piece.last)
                return; // a comma before the closing bracket
            continue;
        }
        if (piece.last && at < end && *at == ']' && skip(at + 1) == end)
            break;
        return;
    }
    if (started)
        piece.peaks.push_back(peak);
    piece.ok = index == piece.first + piece.values;
}

} // namespace

namespace WaveformText {

std::optional<QList<float>> read(std::string_view text, QString& problem)
{
    const char* data = text.data();
    const size_t size = text.size();
    size_t at = JsonScan::skipSpace(data, size, 0);
    if (at >= size || data[at] != '[') {
        problem = QStringLiteral("\"waveformSamples\" is not an array");
        return std::nullopt;
    }
    at = JsonScan::skipSpace(data, size, at + 1);
    if (at < size && data[at] == ']' && JsonScan::skipSpace(data, size, at + 1) == size)
        return QList<float>();

    // Millions of values (only a damaged record holds that many) are parsed
    // in pieces on all cores; a few thousand in one.
    constexpr size_t kPieceBytes = 4 << 20;
    const size_t length = size - at;
    const size_t threads = std::max<size_t>(1, std::thread::hardware_concurrency());
    const size_t pieceCount = std::clamp<size_t>(length / kPieceBytes, 1, std::min<size_t>(threads, 8));
    std::vector<Piece> pieces(pieceCount);
    const char* begin = data + at;
    for (size_t i = 0; i < pieceCount; ++i) {
        Piece& piece = pieces[i];
        piece.begin = begin;
        piece.last = i + 1 == pieceCount;
        const char* cut = piece.last ? data + size : std::max(begin, data + at + length * (i + 1) / pieceCount);
        if (!piece.last) {
            cut = static_cast<const char*>(std::memchr(cut, ',', size_t(data + size - cut)));
            cut = cut ? cut + 1 : data + size;
            piece.last = cut == data + size;
        }
        piece.end = cut;
        begin = cut;
        if (piece.last) {
            pieces.resize(i + 1);
            break;
        }
    }
    // Each piece's values counted on its own core; where each piece's first
    // value stands follows from the counts before it.
    const auto countValues = [](Piece& piece) {
        const auto commas = size_t(std::count(piece.begin, piece.end, ','));
        piece.values = piece.last ? commas + 1 : commas;
    };
    {
        std::vector<std::jthread> helpers;
        for (size_t i = 1; i < pieces.size(); ++i)
            helpers.emplace_back([&pieces, i, countValues] { countValues(pieces[i]); });
        countValues(pieces[0]);
    }
    for (size_t i = 1; i < pieces.size(); ++i)
        pieces[i].first = pieces[i - 1].first + pieces[i - 1].values;
    const size_t count = pieces.back().first + pieces.back().values;
    const size_t bars = size_t(WaveformReducer::drawnBarCount);
    {
        std::vector<std::jthread> helpers;
        for (size_t i = 1; i < pieces.size(); ++i)
            helpers.emplace_back([&pieces, i, count, bars] { parsePiece(pieces[i], count, bars); });
        parsePiece(pieces[0], count, bars);
    }
    QList<float> result(qsizetype(std::min(count, bars)), 0.0f);
    std::vector<bool> filled(result.size(), false);
    for (const Piece& piece : pieces) {
        if (!piece.ok) {
            problem = QStringLiteral("\"waveformSamples\" is not an array of numbers a double holds");
            return std::nullopt;
        }
        // A bar cut between two pieces takes the louder part.
        for (size_t i = 0; i < piece.peaks.size(); ++i) {
            const size_t bar = piece.firstBar + i;
            result[qsizetype(bar)] = filled[bar] ? std::max(result[qsizetype(bar)], piece.peaks[i]) : piece.peaks[i];
            filled[bar] = true;
        }
    }
    return result;
}

} // namespace WaveformText
