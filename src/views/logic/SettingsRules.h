#pragma once

#include <QList>
#include <QString>

#include <optional>

// The settings window: its tabs and the texts made from the stored values it
// shows (their keys and defaults are in common/SettingsTable).
namespace SettingsRules {

enum class SettingsTab { general, audio, ai, storage };

const QList<SettingsTab>& allTabs();
// The tab's label, which is also its stored identity.
QString rawValue(SettingsTab tab);
// Exactly one of the four labels; anything else gives nothing.
std::optional<SettingsTab> tabFromRawValue(const QString& raw);
QString tabSymbol(SettingsTab tab);

struct LanguageOption {
    QString tag;
    QString label;
};

const QList<LanguageOption>& languageOptions();

// "%.1fx": a stored 0.3 shows as 0.3x even where its slider stops at 0.5.
QString gainText(double gain);

// The settings' gain sliders move in tenths over their own ranges.
struct GainRange {
    double minimum = 0;
    double maximum = 0;
};
constexpr GainRange micGainRange{0.5, 2.5};
constexpr GainRange systemGainRange{0.5, 2.0};
constexpr double gainStep = 0.1;
// The slider position (in steps) of a gain, held within the range.
int gainSliderPosition(double gain, GainRange range);
double gainForSliderPosition(int position);

// "1 recording saved", "0 recordings saved", "2 recordings saved".
QString recordingCountText(qsizetype count);

} // namespace SettingsRules
