#include "models/UuidText.h"

#include "common/Text.h"

namespace UuidText {

QString format(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> parse(std::string_view text)
{
    if (text.size() != 36)
        return std::nullopt;
    unsigned char bytes[16];
    size_t at = 0;
    for (int i = 0; i < 16; ++i) {
        if (at == 8 || at == 13 || at == 18 || at == 23) {
            if (text[at] != '-')
                return std::nullopt;
            ++at;
        }
        const int high = Text::hexDigitValue(text[at]);
        const int low = Text::hexDigitValue(text[at + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes[i] = static_cast<unsigned char>(high << 4 | low);
        at += 2;
    }
    return QUuid::fromRfc4122(QByteArrayView(reinterpret_cast<const char*>(bytes), 16));
}

} // namespace UuidText
