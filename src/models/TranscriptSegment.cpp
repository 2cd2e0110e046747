#include "models/TranscriptSegment.h"

#include "models/JsonFields.h"

#include <cmath>

QString TranscriptSegment::formattedTimestamp() const
{
    // Edited index files can hold values no producer makes; never overflow.
    if (!std::isfinite(start) || std::fabs(start) >= 9.2e18)
        return QStringLiteral("--:--");
    const long long whole = static_cast<long long>(start);
    return QString::asprintf("%02lld:%02lld", whole / 60, whole % 60);
}

QJsonObject TranscriptSegment::toJson(bool* sanitised) const
{
    QJsonObject object;
    object.insert(QStringLiteral("id"), JsonFields::uuidText(id));
    object.insert(QStringLiteral("start"), JsonFields::finiteOrZero(start, sanitised));
    object.insert(QStringLiteral("end"), JsonFields::finiteOrZero(end, sanitised));
    object.insert(QStringLiteral("text"), text);
    return object;
}

std::optional<TranscriptSegment> TranscriptSegment::fromJson(const QJsonValue& value, QString* error)
{
    QString problem;
    auto fail = [&]() -> std::optional<TranscriptSegment> {
        if (error)
            *error = QStringLiteral("segment: ") + problem;
        return std::nullopt;
    };
    if (!value.isObject()) {
        problem = QStringLiteral("not an object");
        return fail();
    }
    const QJsonObject object = value.toObject();
    const auto id = JsonFields::requiredUuid(object, QStringLiteral("id"), problem);
    if (!id)
        return fail();
    const auto start = JsonFields::requiredNumber(object, QStringLiteral("start"), problem);
    if (!start)
        return fail();
    const auto end = JsonFields::requiredNumber(object, QStringLiteral("end"), problem);
    if (!end)
        return fail();
    const auto text = JsonFields::requiredString(object, QStringLiteral("text"), problem);
    if (!text)
        return fail();
    return TranscriptSegment{*id, *start, *end, *text};
}

size_t qHash(const TranscriptSegment& segment, size_t seed) noexcept
{
    // +0.0 turns -0.0 into 0.0 so both zeros hash alike, as they compare equal.
    return qHashMulti(seed, segment.id, segment.start + 0.0, segment.end + 0.0, segment.text);
}
