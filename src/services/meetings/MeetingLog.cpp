#include "services/meetings/MeetingLog.h"

#include "common/ConsoleLine.h"

namespace MeetingLog {

QString printable(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\n') {
            out += QStringLiteral("\\n");
        } else if (u == u'\t') {
            out += QStringLiteral("\\t");
        } else if (u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0)) {
            out += QStringLiteral("\\u{%1}").arg(int(u), 2, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out;
}

void print(const QString& line)
{
    ConsoleLine::print(QStringLiteral("[MeetingDetector] ") + printable(line));
}

} // namespace MeetingLog
