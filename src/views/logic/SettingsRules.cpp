#include "views/logic/SettingsRules.h"

#include <algorithm>
#include <cmath>

namespace SettingsRules {

const QList<SettingsTab>& allTabs()
{
    static const QList<SettingsTab> tabs{SettingsTab::general, SettingsTab::audio, SettingsTab::ai,
                                         SettingsTab::storage};
    return tabs;
}

QString rawValue(SettingsTab tab)
{
    switch (tab) {
    case SettingsTab::general:
        return QStringLiteral("General");
    case SettingsTab::audio:
        return QStringLiteral("Audio");
    case SettingsTab::ai:
        return QStringLiteral("AI & Recap");
    case SettingsTab::storage:
        return QStringLiteral("Storage");
    }
    return {};
}

std::optional<SettingsTab> tabFromRawValue(const QString& raw)
{
    for (SettingsTab tab : allTabs())
        if (rawValue(tab) == raw)
            return tab;
    return std::nullopt;
}

QString tabSymbol(SettingsTab tab)
{
    switch (tab) {
    case SettingsTab::general:
        return QStringLiteral("gearshape.fill");
    case SettingsTab::audio:
        return QStringLiteral("waveform.badge.mic");
    case SettingsTab::ai:
        return QStringLiteral("sparkles");
    case SettingsTab::storage:
        return QStringLiteral("folder.fill");
    }
    return {};
}

const QList<LanguageOption>& languageOptions()
{
    static const QList<LanguageOption> options{
        {QStringLiteral("auto"), QStringLiteral("Auto-Detect (Multilingual)")},
        {QStringLiteral("en"), QStringLiteral("English")},
        {QStringLiteral("it"), QStringLiteral("Italian (Italiano)")},
        {QStringLiteral("es"), QStringLiteral("Spanish (Español)")},
        {QStringLiteral("fr"), QStringLiteral("French (Français)")},
        {QStringLiteral("de"), QStringLiteral("German (Deutsch)")},
        {QStringLiteral("pt"), QStringLiteral("Portuguese (Português)")},
        {QStringLiteral("nl"), QStringLiteral("Dutch (Nederlands)")},
        {QStringLiteral("ja"), QStringLiteral("Japanese (日本語)")},
        {QStringLiteral("zh"), QStringLiteral("Chinese (中文)")},
    };
    return options;
}

QString gainText(double gain)
{
    return QString::asprintf("%.1fx", gain);
}

int gainSliderPosition(double gain, GainRange range)
{
    const double held = std::isnan(gain) ? range.minimum : std::clamp(gain, range.minimum, range.maximum);
    return static_cast<int>(std::lround(held / gainStep));
}

double gainForSliderPosition(int position)
{
    // Tenths as the decimal the user picked, not position × 0.1's binary neighbour.
    return position / 10.0;
}

QString recordingCountText(qsizetype count)
{
    return QStringLiteral("%1 recording%2 saved").arg(count).arg(count == 1 ? QString() : QStringLiteral("s"));
}

} // namespace SettingsRules
