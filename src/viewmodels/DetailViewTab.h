#pragma once

#include <QList>
#include <QString>

#include <optional>

// The detail pane's tabs; the raw value is the tab's label and identity.
enum class DetailViewTab { waveform, transcript, recap };

namespace DetailViewTabs {

const QList<DetailViewTab>& allCases();
// "Audio Recording", "Transcript", "Recap".
QString rawValue(DetailViewTab tab);
QString id(DetailViewTab tab);
std::optional<DetailViewTab> fromRawValue(const QString& raw);

} // namespace DetailViewTabs
