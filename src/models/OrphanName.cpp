#include "models/OrphanName.h"

#include <QStringList>

namespace {

// Names carry whole seconds; anything at or below this is a counter or a number
// of another kind.
constexpr qint64 kLeastTimeStamp = 1000000000;
// 9999-12-31T23:59:59Z: the last second every date formatter can show.
constexpr qint64 kLatestTimeStamp = 253402300799;

} // namespace

std::optional<Date> OrphanName::parseTimeStamp(QStringView text)
{
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
        if (value > kLatestTimeStamp)
            return std::nullopt;
    }
    if (value <= kLeastTimeStamp)
        return std::nullopt;
    return Date::fromUnixSeconds(static_cast<double>(value));
}

OrphanName OrphanName::parse(const QString& fileName)
{
    QString base = fileName;
    base.remove(QStringLiteral(".mp3"), Qt::CaseSensitive);
    const QStringList parts = base.split(QLatin1Char('_'));
    OrphanName name;
    name.title = parts.first().isEmpty() ? base : parts.first();
    if (parts.size() >= 2)
        name.timeStamp = parseTimeStamp(parts.last());
    return name;
}
