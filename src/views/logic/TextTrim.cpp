#include "views/logic/TextTrim.h"

#include <QStringList>

#include <algorithm>

namespace TextTrim {

bool isSpaceOrTab(QChar c)
{
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

QString spacesAndTabs(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpaceOrTab(text.at(begin)))
        ++begin;
    while (end > begin && isSpaceOrTab(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QString oneLine(const QString& message, int maxCharacters)
{
    QString line;
    for (const QString& part : message.split(QLatin1Char('\n'))) {
        line = part.trimmed();
        if (!line.isEmpty())
            break;
    }
    if (line.size() <= maxCharacters)
        return line;
    return line.left(std::max(0, maxCharacters - 1)).trimmed() + QChar(0x2026);
}

} // namespace TextTrim
