#include "views/logic/WordCount.h"

namespace WordCount {

qsizetype count(const QString& text)
{
    // QChar::isSpace is exactly White_Space: the ASCII controls 9-13, U+0085
    // and the separator categories. No White_Space lies outside the BMP, so
    // surrogate halves are never spaces.
    qsizetype words = 0;
    bool inWord = false;
    for (const QChar c : text) {
        const bool space = c.isSpace();
        if (!space && !inWord)
            ++words;
        inWord = !space;
    }
    return words;
}

} // namespace WordCount
