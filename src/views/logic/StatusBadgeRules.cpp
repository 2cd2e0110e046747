#include "views/logic/StatusBadgeRules.h"

#include "common/Text.h"

#include <cmath>

namespace StatusBadgeRules {

QString percentText(double progress)
{
    const double scaled = std::isfinite(progress) ? std::trunc(progress * 100.0) : 0.0;
    return QString::number(static_cast<qint64>(std::clamp(scaled, -1e9, 1e9))) + QLatin1Char('%');
}

QString restartAlertMessage(const UpdateInfo& info)
{
    return QStringLiteral("Nimbrel v%1 has been downloaded and is ready to install. The app will restart in a second.\n\n")
               .arg(info.version)
        + info.releaseNotes.value_or(QString());
}

RestartAlertText restartAlertText(const UpdateInfo& info)
{
    constexpr int maxNoteLines = 12;
    constexpr qsizetype maxNoteCharacters = 600;
    const QString notes = info.releaseNotes.value_or(QString());
    qsizetype cut = -1;
    int lines = 0;
    for (qsizetype i = 0; i < notes.size() && cut < 0; ++i) {
        if (i == maxNoteCharacters || (notes.at(i) == QLatin1Char('\n') && ++lines == maxNoteLines))
            cut = i;
    }
    if (cut < 0)
        return {restartAlertMessage(info), QString()};
    // Never between the two halves of a surrogate pair.
    if (cut > 0 && notes.at(cut - 1).isHighSurrogate())
        --cut;
    UpdateInfo shortened = info;
    shortened.releaseNotes = notes.left(cut) + QStringLiteral("…");
    return {restartAlertMessage(shortened), notes};
}

Look updateBadge(const UpdateState& state, bool compact, const QString& currentVersion)
{
    using Kind = UpdateState::Kind;
    Look look;
    switch (state.kind) {
    case Kind::Idle:
        return look;
    case Kind::Checking:
        look.form = Form::capsule;
        look.leading = Leading::spinner;
        look.spinnerScale = 0.5;
        look.text = compact ? QStringLiteral("Checking...") : QStringLiteral("Checking updates...");
        look.horizontalPadding = compact ? 6 : 8;
        return look;
    case Kind::UpToDate: {
        const QString full = QStringLiteral("v%1 Up to Date").arg(currentVersion);
        look.form = Form::capsule;
        look.leading = Leading::icon;
        look.icon = QStringLiteral("checkmark.circle.fill");
        look.iconTint = {ColorRole::green};
        look.text = compact ? QStringLiteral("v") + currentVersion : full;
        look.toolTip = compact ? full : QString();
        look.spacing = compact ? 4 : 5;
        look.horizontalPadding = compact ? 6 : 8;
        look.verticalPadding = compact ? 3 : 4;
        return look;
    }
    case Kind::Available:
        look.form = Form::button;
        look.leading = Leading::icon;
        look.icon = QStringLiteral("arrow.down.circle.fill");
        look.iconTint = {ColorRole::blue};
        look.text = QStringLiteral("Update v") + state.info.version;
        look.weight = TextWeight::semibold;
        look.textTint = {ColorRole::primary};
        look.spacing = 4;
        return look;
    case Kind::Downloading:
        look.form = Form::capsule;
        look.leading = Leading::progressBar;
        look.progress = state.progress;
        look.text = percentText(state.progress);
        look.weight = TextWeight::semibold;
        look.monospaced = true;
        look.textTint = {ColorRole::primary};
        look.toolTip = state.message;
        look.spacing = 6;
        return look;
    case Kind::ReadyToInstall:
        look.form = Form::restartButton;
        look.leading = Leading::icon;
        look.icon = QStringLiteral("arrow.triangle.2.circlepath.circle.fill");
        look.iconTint = {ColorRole::white};
        look.text = QStringLiteral("Restart to Update (v%1)").arg(state.info.version);
        look.weight = TextWeight::bold;
        look.textTint = {ColorRole::white};
        look.toolTip = QStringLiteral("Nimbrel v%1 is downloaded. Click to restart and apply.").arg(state.info.version);
        look.horizontalPadding = 10;
        look.verticalPadding = 5;
        return look;
    case Kind::Error:
        look.form = Form::plainRow;
        look.leading = Leading::icon;
        look.icon = QStringLiteral("exclamationmark.triangle");
        look.iconTint = {ColorRole::orange};
        look.text = QStringLiteral("Update check failed");
        look.textSize = 10;
        look.toolTip = state.message;
        look.spacing = 4;
        look.horizontalPadding = 0;
        look.verticalPadding = 0;
        return look;
    }
    return look;
}

Look speechModelBadge(const WhisperModelState& state, bool compact)
{
    using Case = WhisperModelState::Case;
    Look look;
    look.weight = TextWeight::medium;
    look.spacing = 6;
    switch (state.state) {
    case Case::ready:
        return {};
    case Case::loading:
        look.form = Form::capsule;
        look.leading = Leading::spinner;
        look.text = compact ? QStringLiteral("Loading...") : QStringLiteral("Loading Speech Model...");
        look.horizontalPadding = compact ? 6 : 8;
        return look;
    case Case::downloading:
        look.form = Form::capsule;
        look.leading = Leading::spinner;
        // The spinner stays; the figure stands beside the words.
        look.text = (compact ? QStringLiteral("Downloading...") : state.message) + QLatin1Char(' ')
            + percentText(state.progress);
        look.textTint = {ColorRole::orange};
        look.toolTip = state.message;
        look.horizontalPadding = compact ? 6 : 8;
        return look;
    case Case::notDownloaded:
        look.form = Form::button;
        look.leading = Leading::icon;
        look.icon = QStringLiteral("arrow.down.circle");
        look.iconTint = {ColorRole::primary};
        look.text = compact ? QStringLiteral("Model") : QStringLiteral("Download Speech Model");
        look.textTint = {ColorRole::primary};
        look.spacing = 4;
        return look;
    case Case::error:
        // The reason in one line, and a click starts the download again.
        look.form = Form::button;
        look.leading = Leading::dot;
        look.iconTint = {ColorRole::red};
        look.text = compact ? QStringLiteral("Retry Model")
                            : Text::firstLine(state.message, 48) + QStringLiteral(" \u00b7 Retry");
        look.textTint = {ColorRole::red};
        look.toolTip = state.message;
        return look;
    }
    return look;
}

} // namespace StatusBadgeRules
