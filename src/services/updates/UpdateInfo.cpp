#include "services/updates/UpdateInfo.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>

namespace {

struct Decoder {
    const QJsonObject& object;
    QString problem;

    bool fail(const QString& text)
    {
        if (problem.isEmpty())
            problem = text;
        return false;
    }

    bool requiredString(const char* key, QString& out)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() || value.isNull())
            return fail(QStringLiteral("The update information is missing \"%1\".").arg(QLatin1String(key)));
        if (!value.isString())
            return fail(QStringLiteral("The update information's \"%1\" is not a string.").arg(QLatin1String(key)));
        out = value.toString();
        return true;
    }

    bool requiredInteger(const char* key, qint64& out)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() || value.isNull())
            return fail(QStringLiteral("The update information is missing \"%1\".").arg(QLatin1String(key)));
        const double number = value.toDouble(std::nan(""));
        // A JSON number that is not a whole value within 64 bits is not a build.
        if (!value.isDouble() || !std::isfinite(number) || number != std::trunc(number)
            || std::fabs(number) >= 9.2e18)
            return fail(QStringLiteral("The update information's \"%1\" is not an integer.").arg(QLatin1String(key)));
        out = value.toInteger();
        return true;
    }

    template <typename T, typename Check, typename Read>
    bool optional(const char* key, std::optional<T>& out, Check isType, Read read, const char* typeName)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() || value.isNull())
            return true;
        if (!isType(value))
            return fail(QStringLiteral("The update information's \"%1\" is not a %2.")
                            .arg(QLatin1String(key), QLatin1String(typeName)));
        out = read(value);
        return true;
    }
};

} // namespace

std::optional<UpdateInfo> UpdateInfo::decode(const QByteArray& json, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        if (error)
            *error = QStringLiteral("The update information is not valid JSON.");
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    Decoder decoder{object, {}};
    UpdateInfo info;
    const auto isString = [](const QJsonValue& v) { return v.isString(); };
    const auto readString = [](const QJsonValue& v) { return v.toString(); };
    const bool ok = decoder.requiredString("version", info.version)
        && decoder.requiredInteger("build", info.build)
        && decoder.optional("releaseDate", info.releaseDate, isString, readString, "string")
        && decoder.requiredString("downloadURL", info.downloadURL)
        && decoder.optional("mandatory", info.mandatory, [](const QJsonValue& v) { return v.isBool(); },
                            [](const QJsonValue& v) { return v.toBool(); }, "Boolean")
        && decoder.optional("releaseNotes", info.releaseNotes, isString, readString, "string")
        && decoder.optional("sha256", info.sha256, isString, readString, "string");
    if (!ok) {
        if (error)
            *error = decoder.problem;
        return std::nullopt;
    }
    return info;
}
