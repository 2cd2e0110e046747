#include "models/LenientJsonString.h"

#include "common/Text.h"

namespace LenientJsonString {

bool read(std::string_view token, QString& out)
{
    out.clear();
    size_t at = 1;
    size_t run = at; // start of the bytes not yet added
    auto addRun = [&](size_t end) {
        if (end > run)
            out += QString::fromUtf8(token.data() + run, qsizetype(end - run));
    };
    while (at < token.size()) {
        const char c = token[at];
        if (c == '"') {
            addRun(at);
            return true;
        }
        if (c != '\\') {
            ++at;
            continue;
        }
        addRun(at);
        if (at + 1 >= token.size())
            return false;
        const char escaped = token[at + 1];
        at += 2;
        switch (escaped) {
        case '"': out += QLatin1Char('"'); break;
        case '\\': out += QLatin1Char('\\'); break;
        case '/': out += QLatin1Char('/'); break;
        case 'b': out += QLatin1Char('\b'); break;
        case 'f': out += QLatin1Char('\f'); break;
        case 'n': out += QLatin1Char('\n'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case 't': out += QLatin1Char('\t'); break;
        case 'u': {
            if (at + 4 > token.size())
                return false;
            int unit = 0;
            for (int i = 0; i < 4; ++i) {
                const int digit = Text::hexDigitValue(token[at + size_t(i)]);
                if (digit < 0)
                    return false;
                unit = unit << 4 | digit;
            }
            out += QChar(char16_t(unit));
            at += 4;
            break;
        }
        default:
            return false;
        }
        run = at;
    }
    return false;
}

} // namespace LenientJsonString
