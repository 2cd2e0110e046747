#pragma once

#include <QString>
#include <QUuid>

#include <cstring>
#include <functional>
#include <memory>
#include <string_view>

// Writes compact JSON text straight from our values, piece by piece, handing
// it on in chunks: a large index is never held as one document or one buffer.
// The caller places the commas and colons; the writer formats the values.
class JsonTextWriter {
public:
    // Receives each chunk; false stops the writing (see `failed`).
    using Sink = std::function<bool(const char* data, size_t size)>;

    explicit JsonTextWriter(Sink sink, size_t chunkSize = 1 << 20);

    // Plain punctuation or a key already in JSON form, such as `"id":`.
    void raw(std::string_view text)
    {
        char* out = reserve(text.size());
        std::memcpy(out, text.data(), text.size());
        m_size += text.size();
    }
    void raw(char c) { *reserve(1) = c, ++m_size; }

    // A string in UTF-8 with `"`, `\` and control characters escaped. A lone
    // surrogate (which UTF-8 cannot hold) is written as its \u escape, as the
    // earlier writer did, so it reads back unchanged.
    void string(const QString& text);
    // The canonical upper-case text, in quotes.
    void uuid(const QUuid& id);
    // The shortest text that reads back as the same double. JSON has no NaN
    // or infinity: those are written as 0 and noted in `sanitised`.
    void number(double value);
    // The same for a float, in the float's own shortest form ("0.3").
    void number(float value);
    void integer(qint64 value);

    // Hands on what is buffered; true when every chunk was taken.
    bool flush();
    // Buffers past `chunkSize` are handed on.
    void flushIfFull()
    {
        if (m_size >= m_chunkSize)
            flush();
    }

    bool failed() const { return m_failed; }
    bool sanitised() const { return m_sanitised; }

private:
    // Room for `count` more bytes at the end of the buffer.
    char* reserve(size_t count)
    {
        if (m_size + count > m_capacity)
            grow(m_size + count);
        return m_data.get() + m_size;
    }
    void grow(size_t needed);

    Sink m_sink;
    size_t m_chunkSize;
    std::unique_ptr<char[]> m_data;
    size_t m_size = 0;
    size_t m_capacity = 0;
    bool m_failed = false;
    bool m_sanitised = false;
};
