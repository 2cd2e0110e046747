#include "models/JsonTextWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr char kHex[] = "0123456789abcdef";
constexpr char kUpperHex[] = "0123456789ABCDEF";

// Writes "\u" and four lower-case hex digits, as the earlier writer did.
char* unicodeEscape(char* out, char16_t unit)
{
    *out++ = '\\';
    *out++ = 'u';
    *out++ = kHex[(unit >> 12) & 0xF];
    *out++ = kHex[(unit >> 8) & 0xF];
    *out++ = kHex[(unit >> 4) & 0xF];
    *out++ = kHex[unit & 0xF];
    return out;
}

} // namespace

JsonTextWriter::JsonTextWriter(Sink sink, size_t chunkSize)
    : m_sink(std::move(sink))
    , m_chunkSize(chunkSize)
{
}

void JsonTextWriter::grow(size_t needed)
{
    const size_t capacity = std::max({needed, m_capacity * 2, m_chunkSize + 4096});
    auto data = std::make_unique<char[]>(capacity);
    if (m_size)
        std::memcpy(data.get(), m_data.get(), m_size);
    m_data = std::move(data);
    m_capacity = capacity;
}

void JsonTextWriter::string(const QString& text)
{
    const char16_t* in = reinterpret_cast<const char16_t*>(text.utf16());
    const char16_t* end = in + text.size();
    // Six bytes per unit at most (an escape), and the quotes.
    char* out = reserve(size_t(text.size()) * 6 + 2);
    char* const start = out;
    *out++ = '"';
    while (in < end) {
        const char16_t unit = *in++;
        if (unit < 0x80) {
            if (unit >= 0x20 && unit != '"' && unit != '\\') {
                *out++ = char(unit);
                continue;
            }
            *out++ = '\\';
            switch (unit) {
            case '"': *out++ = '"'; break;
            case '\\': *out++ = '\\'; break;
            case '\b': *out++ = 'b'; break;
            case '\f': *out++ = 'f'; break;
            case '\n': *out++ = 'n'; break;
            case '\r': *out++ = 'r'; break;
            case '\t': *out++ = 't'; break;
            default:
                out = unicodeEscape(out - 1, unit);
                break;
            }
        } else if (unit < 0x800) {
            *out++ = char(0xC0 | (unit >> 6));
            *out++ = char(0x80 | (unit & 0x3F));
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            if (unit <= 0xDBFF && in < end && *in >= 0xDC00 && *in <= 0xDFFF) {
                const char32_t point = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(*in++) - 0xDC00);
                *out++ = char(0xF0 | (point >> 18));
                *out++ = char(0x80 | ((point >> 12) & 0x3F));
                *out++ = char(0x80 | ((point >> 6) & 0x3F));
                *out++ = char(0x80 | (point & 0x3F));
            } else {
                out = unicodeEscape(out, unit);
            }
        } else {
            *out++ = char(0xE0 | (unit >> 12));
            *out++ = char(0x80 | ((unit >> 6) & 0x3F));
            *out++ = char(0x80 | (unit & 0x3F));
        }
    }
    *out++ = '"';
    m_size += size_t(out - start);
}

void JsonTextWriter::uuid(const QUuid& id)
{
    unsigned char bytes[16];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(id.data1 >> (24 - 8 * i));
    bytes[4] = static_cast<unsigned char>(id.data2 >> 8);
    bytes[5] = static_cast<unsigned char>(id.data2);
    bytes[6] = static_cast<unsigned char>(id.data3 >> 8);
    bytes[7] = static_cast<unsigned char>(id.data3);
    std::memcpy(bytes + 8, id.data4, 8);
    char* out = reserve(38);
    *out++ = '"';
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            *out++ = '-';
        *out++ = kUpperHex[bytes[i] >> 4];
        *out++ = kUpperHex[bytes[i] & 0xF];
    }
    *out++ = '"';
    m_size += 38;
}

void JsonTextWriter::number(double value)
{
    if (!std::isfinite(value)) {
        m_sanitised = true;
        value = 0;
    }
    char* out = reserve(32);
    m_size += size_t(std::to_chars(out, out + 32, value).ptr - out);
}

void JsonTextWriter::number(float value)
{
    if (!std::isfinite(value)) {
        m_sanitised = true;
        value = 0;
    }
    char* out = reserve(32);
    m_size += size_t(std::to_chars(out, out + 32, value).ptr - out);
}

void JsonTextWriter::integer(qint64 value)
{
    char* out = reserve(24);
    m_size += size_t(std::to_chars(out, out + 24, value).ptr - out);
}

bool JsonTextWriter::flush()
{
    if (m_size && !m_failed && !m_sink(m_data.get(), m_size))
        m_failed = true;
    m_size = 0;
    return !m_failed;
}
