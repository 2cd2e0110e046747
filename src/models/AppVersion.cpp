#include "models/AppVersion.h"

#include "models/BuildInfo.h"

#include <limits>
#include <mutex>

namespace {

std::mutex overrideMutex;
std::optional<QVariantMap> infoOverride;

QVariantMap info()
{
    std::lock_guard lock(overrideMutex);
    return infoOverride ? *infoOverride : BuildInfo::infoDictionary();
}

// The value when present and a string; a number or anything else counts as missing.
std::optional<QString> stringEntry(const QString& key)
{
    const QVariant value = info().value(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

} // namespace

QString AppVersion::currentVersion()
{
    return stringEntry(QStringLiteral("version")).value_or(QStringLiteral("1.1.0"));
}

QString AppVersion::currentBuild()
{
    return stringEntry(QStringLiteral("build")).value_or(QStringLiteral("10"));
}

qint64 AppVersion::currentBuildNumber()
{
    const auto build = stringEntry(QStringLiteral("build"));
    if (!build)
        return 10;
    return parseBuildNumber(*build).value_or(10);
}

QString AppVersion::displayString()
{
    return QStringLiteral("Nimbrel v%1 (Build %2)").arg(currentVersion(), currentBuild());
}

QString AppVersion::settingsFooterString()
{
    return QStringLiteral("Nimbrel %1 (Build %2) • 100% On-Device AI").arg(currentVersion(), currentBuild());
}

std::optional<qint64> AppVersion::parseBuildNumber(const QString& text)
{
    int index = 0;
    bool negative = false;
    if (index < text.size() && (text[index] == QLatin1Char('+') || text[index] == QLatin1Char('-'))) {
        negative = text[index] == QLatin1Char('-');
        ++index;
    }
    if (index == text.size())
        return std::nullopt;
    // Accumulate toward the negative side, which holds one more value.
    qint64 value = 0;
    constexpr qint64 minimum = std::numeric_limits<qint64>::min();
    for (; index < text.size(); ++index) {
        const QChar c = text[index];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        const int digit = c.unicode() - '0';
        if (value < (minimum + digit) / 10)
            return std::nullopt;
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == minimum)
            return std::nullopt;
        value = -value;
    }
    return value;
}

void AppVersion::setInfoDictionaryOverride(std::optional<QVariantMap> info)
{
    std::lock_guard lock(overrideMutex);
    infoOverride = std::move(info);
}
