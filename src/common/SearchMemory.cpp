#include "common/SearchMemory.h"

#include "common/TextSearch.h"

SearchMemory& SearchMemory::shared()
{
    static SearchMemory memory;
    return memory;
}

namespace {

constexpr int tripleBits = 4096;

// The ASCII character `c` folds to (letters in lower case), or 0 for any
// other. KELVIN SIGN and LATIN SMALL LETTER LONG S fold to "k" and "s", as
// TextSearch has it; nothing folds to an ASCII character that is not a letter.
char16_t folded(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return char16_t(c + 32);
    if (c > 0 && c < 0x80)
        return c;
    if (c == 0x212A)
        return u'k';
    if (c == 0x017F)
        return u's';
    return 0;
}

// Bits 0-25 for the letters, 26-35 for the digits; none for anything else.
quint64 characterBit(char16_t lower)
{
    if (lower >= u'a' && lower <= u'z')
        return quint64(1) << (lower - u'a');
    if (lower >= u'0' && lower <= u'9')
        return quint64(1) << (26 + lower - u'0');
    return 0;
}

int tripleBit(char16_t a, char16_t b, char16_t c)
{
    const quint32 packed = quint32(a) | (quint32(b) << 7) | (quint32(c) << 14);
    return static_cast<int>((packed * 0x9E3779B1u) >> 20);
}

// Calls `take` with the bit of each run of three folded ASCII characters.
template <typename Take>
void eachTriple(QStringView text, Take&& take)
{
    char16_t first = 0;
    char16_t second = 0;
    for (const QChar c : text) {
        const char16_t third = folded(c.unicode());
        if (first && second && third)
            take(tripleBit(first, second, third));
        first = second;
        second = third;
    }
}

bool lacksFeatures(const SearchMemory::Features& features, QStringView query)
{
    if (features.characters != ~quint64(0)) {
        quint64 needed = 0;
        for (const QChar c : query)
            needed |= characterBit(folded(c.unicode()));
        if ((needed & ~features.characters) != 0)
            return true;
    }
    if (features.triples.size() != tripleBits / 8)
        return false;
    const auto* bits = reinterpret_cast<const uchar*>(features.triples.constData());
    bool lacks = false;
    eachTriple(query, [&](int bit) { lacks = lacks || (bits[bit / 8] & (1u << (bit % 8))) == 0; });
    return lacks;
}

} // namespace

SearchMemory::Features SearchMemory::featuresOf(QStringView text)
{
    Features features;
    features.characters = 0;
    for (const QChar c : text)
        features.characters |= characterBit(folded(c.unicode()));
    features.triples = QByteArray(tripleBits / 8, '\0');
    auto* bits = reinterpret_cast<uchar*>(features.triples.data());
    eachTriple(text, [bits](int bit) { bits[bit / 8] |= uchar(1u << (bit % 8)); });
    return features;
}

SearchMemory::Answer SearchMemory::recall(const QString& text, QStringView query) const
{
    if (text.size() < shortestRemembered)
        return Answer::unknown;
    const auto found = m_known.constFind(text.constData());
    if (found == m_known.cend() || found->text.size() != text.size())
        return Answer::unknown;
    if (lacksFeatures(found->features, query))
        return Answer::lacks;
    if (!found->lacked.isEmpty() && TextSearch::containsIgnoringCase(query, found->lacked))
        return Answer::lacks;
    return Answer::unknown;
}

void SearchMemory::learnLacks(const QString& text, const QString& query)
{
    if (text.size() < shortestRemembered || query.isEmpty())
        return;
    Known& known = entry(text);
    // A shorter query lacked answers more; else the newer, as the user is typing it.
    if (known.lacked.isEmpty() || !TextSearch::containsIgnoringCase(query, known.lacked))
        known.lacked = query;
}

void SearchMemory::learnFeatures(const QString& text, const Features& features)
{
    if (text.size() >= shortestRemembered)
        entry(text).features = features;
}

void SearchMemory::adopt(SearchMemory&& other)
{
    if (m_known.isEmpty()) {
        m_known = std::move(other.m_known);
        return;
    }
    for (auto it = other.m_known.cbegin(); it != other.m_known.cend(); ++it) {
        Known& known = entry(it->text);
        if (known.features.triples.isEmpty())
            known.features = it->features;
    }
}

SearchMemory::Known& SearchMemory::entry(const QString& text)
{
    Known& known = m_known[text.constData()];
    if (known.text.constData() != text.constData() || known.text.size() != text.size())
        known = Known{text, {}};
    return known;
}
