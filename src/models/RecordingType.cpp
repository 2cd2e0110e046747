#include "models/RecordingType.h"

#include <QHash>

#include <array>

namespace {

struct TypeInfo {
    RecordingType type;
    const char* raw;
    const char* displayName;
    const char* systemIcon;
    const char* description;
};

constexpr std::array<TypeInfo, 6> kTypes{{
    {RecordingType::meeting, "meeting", "Meeting", "person.3.fill",
     "Executive summary, key takeaways, agreed decisions, and next action items."},
    {RecordingType::brainstorming, "brainstorming", "Brainstorming", "lightbulb.fill",
     "Core concept, emerging ideas, critical trade-offs, and validated next experiments."},
    {RecordingType::interview, "interview", "Interview", "mic.and.signal.meter.fill",
     "Subject profile, key topics, notable quotes, and follow-up inquiries."},
    {RecordingType::oneOnOne, "oneOnOne", "1-on-1 Sync", "person.2.fill",
     "Check-in context, mutual feedback, blockers, and agreed commitments."},
    {RecordingType::lecture, "lecture", "Lecture", "book.fill",
     "Central thesis, key principles, definitions, case studies, and reference notes."},
    {RecordingType::quickNote, "quickNote", "Voice Note", "note.text",
     "Core thoughts, contextual reflections, and immediate reminders."},
}};

const TypeInfo& info(RecordingType type)
{
    return kTypes[static_cast<size_t>(type)];
}

} // namespace

namespace RecordingTypes {

const QList<RecordingType>& allCases()
{
    static const QList<RecordingType> cases = [] {
        QList<RecordingType> list;
        for (const auto& entry : kTypes)
            list.append(entry.type);
        return list;
    }();
    return cases;
}

QString rawValue(RecordingType type)
{
    return QString::fromLatin1(info(type).raw);
}

std::optional<RecordingType> fromRawValue(const QString& raw)
{
    for (const auto& entry : kTypes) {
        if (raw == QLatin1String(entry.raw))
            return entry.type;
    }
    return std::nullopt;
}

QString id(RecordingType type)
{
    return rawValue(type);
}

QString displayName(RecordingType type)
{
    return QString::fromUtf8(info(type).displayName);
}

QString systemIcon(RecordingType type)
{
    return QString::fromLatin1(info(type).systemIcon);
}

QString description(RecordingType type)
{
    return QString::fromUtf8(info(type).description);
}

} // namespace RecordingTypes
