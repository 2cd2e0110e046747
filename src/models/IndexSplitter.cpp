#include "models/IndexSplitter.h"

#include "models/JsonScan.h"

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
    m_position = JsonScan::skipSpace(m_text, m_size, m_position);
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
    const size_t end = JsonScan::endOfValue(m_text, m_size, start);
    if (end == JsonScan::npos)
        return fail(QStringLiteral("the index ends inside a record or has a misplaced comma"));
    m_position = end;
    return std::string_view(m_text + start, end - start);
}
