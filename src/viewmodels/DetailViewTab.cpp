#include "viewmodels/DetailViewTab.h"

namespace DetailViewTabs {

const QList<DetailViewTab>& allCases()
{
    static const QList<DetailViewTab> cases{DetailViewTab::waveform, DetailViewTab::transcript, DetailViewTab::recap};
    return cases;
}

QString rawValue(DetailViewTab tab)
{
    switch (tab) {
    case DetailViewTab::waveform:
        return QStringLiteral("Audio Recording");
    case DetailViewTab::transcript:
        return QStringLiteral("Transcript");
    case DetailViewTab::recap:
        return QStringLiteral("Recap");
    }
    return {};
}

QString id(DetailViewTab tab)
{
    return rawValue(tab);
}

std::optional<DetailViewTab> fromRawValue(const QString& raw)
{
    for (DetailViewTab tab : allCases())
        if (rawValue(tab) == raw)
            return tab;
    return std::nullopt;
}

} // namespace DetailViewTabs
