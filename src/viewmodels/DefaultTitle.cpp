#include "viewmodels/DefaultTitle.h"

#include <QRegularExpression>

namespace {

// Numbers are kept as decimal text: a title may carry any number of digits,
// and the next one must never wrap around.
QString withoutLeadingZeros(const QString& digits)
{
    qsizetype first = 0;
    while (first < digits.size() - 1 && digits.at(first) == QLatin1Char('0'))
        ++first;
    return digits.mid(first);
}

bool isGreater(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return a.size() > b.size();
    return a > b;
}

QString incremented(QString digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits.at(i) != QLatin1Char('9')) {
            digits[i] = QChar(digits.at(i).unicode() + 1);
            return digits;
        }
        digits[i] = QLatin1Char('0');
    }
    return QLatin1Char('1') + digits;
}

bool isAsciiDigits(const QString& text)
{
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return !text.isEmpty();
}

} // namespace

QString DefaultTitle::next(const QStringList& existingTitles)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(?:New Recording|Nuova registrazione)\\s+(\\d+)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);

    QString highest = QStringLiteral("0");
    for (const QString& title : existingTitles) {
        const QRegularExpressionMatch match = pattern.match(title.trimmed());
        if (!match.hasMatch())
            continue;
        // \d also matches other scripts' digits, which are no number here.
        const QString digits = match.captured(1);
        if (!isAsciiDigits(digits))
            continue;
        const QString number = withoutLeadingZeros(digits);
        if (isGreater(number, highest))
            highest = number;
    }

    QString candidate = incremented(highest);
    for (;;) {
        const QString title = QStringLiteral("New Recording ") + candidate;
        const bool taken = std::any_of(existingTitles.begin(), existingTitles.end(), [&](const QString& existing) {
            return existing.compare(title, Qt::CaseInsensitive) == 0;
        });
        if (!taken)
            return title;
        candidate = incremented(candidate);
    }
}
