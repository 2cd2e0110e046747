#include "audio/AudioHardwareProbe.h"

#include <array>

bool AudioHardwareProbe::isHeadphonesName(const QString& name)
{
    static const std::array<QString, 6> words = {
        QStringLiteral("headphone"), QStringLiteral("airpod"),    QStringLiteral("earpod"),
        QStringLiteral("buds"),      QStringLiteral("bluetooth"), QStringLiteral("external"),
    };
    const QString lower = name.toLower();
    for (const QString& word : words) {
        if (lower.contains(word))
            return true;
    }
    return false;
}
