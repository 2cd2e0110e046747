#include "views/logic/MergePanelRules.h"

#include <QStringList>

namespace MergePanelRules {

QString selectedCountText(qsizetype picked)
{
    return QStringLiteral("%1 of 5 selected").arg(picked);
}

Tint selectedCountTint(qsizetype picked)
{
    return {picked > 0 ? ColorRole::accent : ColorRole::secondary};
}

QString mergeButtonText(qsizetype picked)
{
    return QStringLiteral("Merge (%1)").arg(picked + 1);
}

bool mergeButtonEnabled(qsizetype picked, bool isMerging)
{
    return picked > 0 && !isMerging;
}

QString confirmationTitle(qsizetype picked)
{
    return QStringLiteral("Merge %1 Recordings?").arg(picked + 1);
}

QString confirmationMessage(const QList<RecordingItem>& joined)
{
    QStringList lines;
    for (const RecordingItem& item : joined)
        lines.append(QStringLiteral("• ") + item.title + QStringLiteral(" (") + item.formattedDate() + QStringLiteral(")"));
    return QStringLiteral("This will create a new recording combining the selected audio recordings in chronological "
                          "order:\n\n")
        + lines.join(QLatin1Char('\n')) + QStringLiteral("\n\nOriginal recordings will remain untouched.");
}

} // namespace MergePanelRules
