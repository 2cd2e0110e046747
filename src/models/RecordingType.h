#pragma once

#include <QList>
#include <QString>

#include <optional>

// What kind of conversation a recording holds; picks the recap template.
enum class RecordingType { meeting, brainstorming, interview, oneOnOne, lecture, quickNote };

namespace RecordingTypes {

const QList<RecordingType>& allCases();
// The stored form, e.g. "oneOnOne".
QString rawValue(RecordingType type);
// Exact, case-sensitive match of a raw value.
std::optional<RecordingType> fromRawValue(const QString& raw);
QString id(RecordingType type);
QString displayName(RecordingType type);
// Symbol name of the type's icon; the views map it to a theme icon.
QString systemIcon(RecordingType type);
QString description(RecordingType type);

} // namespace RecordingTypes

inline size_t qHash(RecordingType type, size_t seed = 0) noexcept
{
    return qHash(RecordingTypes::rawValue(type), seed);
}
