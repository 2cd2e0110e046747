#include "common/Text.h"

#include <QStringList>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace Text {

namespace {

bool isSpaceOrTab(QChar c)
{
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

} // namespace

QString trimSpacesAndTabs(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpaceOrTab(text.at(begin)))
        ++begin;
    while (end > begin && isSpaceOrTab(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

std::optional<QString> typedTitle(const QString& typed)
{
    const QString title = trimSpacesAndTabs(typed);
    if (title.isEmpty())
        return std::nullopt;
    return title;
}

QString firstLine(const QString& message, int maxCharacters)
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

qsizetype characterCount(const QString& text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1)
        ++count;
    return count;
}

QString leftCharacters(const QString& text, qsizetype count, qsizetype maxUtf8Bytes)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype kept = 0;
    qsizetype characters = 0;
    qsizetype bytes = 0;
    for (qsizetype next = finder.toNextBoundary(); next != -1 && characters < count;
         next = finder.toNextBoundary()) {
        const qsizetype clusterBytes = QStringView(text).mid(kept, next - kept).toUtf8().size();
        if (clusterBytes > maxUtf8Bytes - bytes)
            break;
        bytes += clusterBytes;
        ++characters;
        kept = next;
    }
    return text.left(kept);
}

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace Text
