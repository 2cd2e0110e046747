#include "engines/recap/RecapLanguage.h"

#include "common/Text.h"

// CLD2's header uses FILE without including <cstdio>.
#include <cstdio>

#include <cld2/public/compact_lang_det.h>

#include <array>
#include <optional>

namespace {

// CLD2 answers English for short or mixed text but then clears its reliable
// flag; such an answer counts as no answer.
std::optional<QByteArray> recognisedLanguageCode(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    bool reliable = false;
    int validPrefix = 0;
    const CLD2::Language language = CLD2::DetectLanguageCheckUTF8(
        utf8.constData(), static_cast<int>(utf8.size()), true, &reliable, &validPrefix);
    if (!reliable || language == CLD2::UNKNOWN_LANGUAGE)
        return std::nullopt;
    return QByteArray(CLD2::LanguageCode(language));
}

bool hasItalianMarkers(const QString& text)
{
    static const std::array<QLatin1String, 10> kMarkers{
        QLatin1String(" che "),   QLatin1String(" per "),     QLatin1String(" con "),    QLatin1String(" sono "),
        QLatin1String(" della "), QLatin1String(" delle "),   QLatin1String(" nella "),  QLatin1String(" abbiamo "),
        QLatin1String(" questo "), QLatin1String(" quindi "),
    };
    const QString sample = Text::leftCharacters(text, 1000).toLower();
    int found = 0;
    for (const auto& marker : kMarkers) {
        if (sample.contains(marker))
            ++found;
    }
    return found >= 2;
}

} // namespace

namespace RecapLanguage {

bool isItalian(const QString& text)
{
    if (const auto code = recognisedLanguageCode(text))
        return code->toLower().startsWith("it");
    return hasItalianMarkers(text);
}

} // namespace RecapLanguage
