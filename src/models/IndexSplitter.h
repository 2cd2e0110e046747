#pragma once

#include <QString>

#include <cstddef>
#include <optional>
#include <string_view>

// Walks the top-level JSON array of the library index and hands out the text
// of each element without decoding it, so each record is decoded (and can
// fail) on its own. It follows only strings and brackets; a record's inner
// syntax is checked by its decoder.
class IndexSplitter {
public:
    // `text` must be followed by at least 16 readable bytes.
    IndexSplitter(const char* text, size_t size);

    // The next element, or nothing at the end of the array or where the text
    // stops being a well-formed array (see `damage`).
    std::optional<std::string_view> next();

    // Why the text is not one whole array; empty while it is.
    const QString& damage() const { return m_damage; }

private:
    void skipSpace();
    std::nullopt_t fail(const QString& why);

    const char* m_text;
    size_t m_size;
    size_t m_position = 0;
    bool m_started = false;
    bool m_finished = false;
    QString m_damage;
};
