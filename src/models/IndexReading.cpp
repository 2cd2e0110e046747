#include "models/IndexReading.h"

#include "common/ConsoleLine.h"
#include "models/IndexCodec.h"
#include "models/IndexFile.h"

namespace {

void say(const QString& line)
{
    ConsoleLine::print(QStringLiteral("[RecordingsStorage] ") + line);
}

// Not a regular file, or not readable: moved aside whole, so the index the
// load rebuilds never replaces it.
void moveAsideUnreadable(const QString& path, const QString& problem, IndexReading& result)
{
    const QString aside = IndexFile::moveAside(path);
    result.mayReplace = !aside.isEmpty();
    if (aside.isEmpty()) {
        say(QStringLiteral("the library index cannot be read (%1) nor moved aside; it is left in place").arg(problem));
        result.messages.append(QStringLiteral("The library index cannot be read: %1").arg(problem));
        return;
    }
    say(QStringLiteral("the library index cannot be read (%1); it was moved to %2 and the library was rebuilt "
                       "from the recordings folder")
            .arg(problem, aside));
    result.messages.append(QStringLiteral("The library index cannot be read; it was kept as %1").arg(aside));
}

void copyAsideDamaged(const QString& path, std::string_view text, const IndexCodec::Decoded& decoded,
                      IndexReading& result)
{
    const QString aside =
        IndexFile::writeAside(path, QByteArray::fromRawData(text.data(), qsizetype(text.size())));
    result.mayReplace = !aside.isEmpty();
    say(QStringLiteral("the library index does not decode (%1); %2, and %3 of its recordings were read")
            .arg(*decoded.damage,
                 aside.isEmpty() ? QStringLiteral("it could not be copied aside, so it is left in place")
                                 : QStringLiteral("it was copied to %1").arg(aside))
            .arg(decoded.records.size()));
    result.messages.append(
        aside.isEmpty() ? QStringLiteral("The library index is damaged: %1").arg(*decoded.damage)
                        : QStringLiteral("The library index is damaged and cannot be read whole; it was kept as %1")
                              .arg(aside));
}

void copyAsideRejected(const QString& path, const IndexCodec::Decoded& decoded, IndexReading& result)
{
    const QString aside = IndexFile::writeAside(path, '[' + decoded.rejected.join(',') + ']');
    result.mayReplace = !aside.isEmpty();
    for (const QString& problem : decoded.problems)
        say(QStringLiteral("a recording in the library index does not decode: ") + problem);
    const qsizetype count = decoded.rejected.size();
    const QString what = count == 1 ? QStringLiteral("1 recording in the library cannot be read")
                                    : QStringLiteral("%1 recordings in the library cannot be read").arg(count);
    const QString pronoun = count == 1 ? QStringLiteral("it was") : QStringLiteral("they were");
    if (aside.isEmpty()) {
        say(what + QStringLiteral(" and could not be copied aside; the index is left in place"));
        result.messages.append(what);
        return;
    }
    say(QStringLiteral("%1; %2 copied to %3").arg(what, pronoun, aside));
    result.messages.append(QStringLiteral("%1; %2 kept in %3").arg(what, pronoun, aside));
}

} // namespace

IndexReading IndexReading::read(const QString& path)
{
    IndexReading result;
    const IndexFile::Contents contents = IndexFile::read(path, IndexCodec::padding());
    if (contents.state == IndexFile::State::missing)
        return result; // the first start
    if (contents.state == IndexFile::State::unreadable) {
        moveAsideUnreadable(path, contents.problem, result);
        return result;
    }
    IndexCodec::Decoded decoded = IndexCodec::decode(contents.text);
    if (decoded.damage)
        copyAsideDamaged(path, contents.text, decoded, result);
    else if (!decoded.rejected.isEmpty())
        copyAsideRejected(path, decoded, result);
    result.records = std::move(decoded.records);
    result.originals = std::move(decoded.mended);
    return result;
}
