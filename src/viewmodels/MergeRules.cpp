#include "viewmodels/MergeRules.h"

#include <algorithm>

namespace MergeRules {

QList<RecordingItem> joinedOrder(const RecordingItem& source, const QList<RecordingItem>& picked)
{
    QList<RecordingItem> joined;
    joined.reserve(picked.size() + 1);
    joined.append(source);
    joined.append(picked);
    std::stable_sort(joined.begin(), joined.end(),
                     [](const RecordingItem& a, const RecordingItem& b) { return a.createdAt < b.createdAt; });
    return joined;
}

QString mergedTitle(const QString& sourceTitle, const QList<RecordingItem>& library)
{
    const auto taken = [&library](const QString& candidate) {
        return std::any_of(library.cbegin(), library.cend(), [&candidate](const RecordingItem& item) {
            return item.title.compare(candidate, Qt::CaseInsensitive) == 0;
        });
    };
    QString candidate = sourceTitle + QStringLiteral(" (Merged)");
    for (int n = 2; taken(candidate); ++n)
        candidate = sourceTitle + QStringLiteral(" (Merged %1)").arg(n);
    return candidate;
}

} // namespace MergeRules
