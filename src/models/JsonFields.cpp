#include "models/JsonFields.h"

#include <QRegularExpression>

#include <charconv>
#include <cmath>
#include <limits>

namespace JsonFields {

QString uuidText(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> parseUuid(const QString& text)
{
    static const QRegularExpression form(QStringLiteral(
        "^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    return QUuid::fromString(text);
}

double finiteOrZero(double value, bool* replaced)
{
    if (std::isfinite(value))
        return value;
    if (replaced)
        *replaced = true;
    return 0.0;
}

double shortestFloat(float value)
{
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    double result = value;
    std::from_chars(text, written.ptr, result);
    return result;
}

bool isAbsent(const QJsonObject& object, const QString& key)
{
    const auto it = object.constFind(key);
    return it == object.constEnd() || it->isNull();
}

std::optional<QString> requiredString(const QJsonObject& object, const QString& key, QString& error)
{
    const QJsonValue value = object.value(key);
    if (!value.isString()) {
        error = value.isUndefined() ? QStringLiteral("missing key \"%1\"").arg(key)
                                    : QStringLiteral("\"%1\" is not a string").arg(key);
        return std::nullopt;
    }
    return value.toString();
}

std::optional<double> requiredNumber(const QJsonObject& object, const QString& key, QString& error)
{
    const QJsonValue value = object.value(key);
    if (!value.isDouble()) {
        error = value.isUndefined() ? QStringLiteral("missing key \"%1\"").arg(key)
                                    : QStringLiteral("\"%1\" is not a number").arg(key);
        return std::nullopt;
    }
    return value.toDouble();
}

std::optional<qint64> requiredInteger(const QJsonObject& object, const QString& key, QString& error)
{
    const std::optional<double> number = requiredNumber(object, key, error);
    if (!number)
        return std::nullopt;
    const qint64 integer = object.value(key).toInteger(std::numeric_limits<qint64>::min());
    if (integer == std::numeric_limits<qint64>::min() && *number != static_cast<double>(integer)) {
        error = QStringLiteral("\"%1\" is not an integer").arg(key);
        return std::nullopt;
    }
    return integer;
}

std::optional<QUuid> requiredUuid(const QJsonObject& object, const QString& key, QString& error)
{
    const auto text = requiredString(object, key, error);
    if (!text)
        return std::nullopt;
    auto id = parseUuid(*text);
    if (!id)
        error = QStringLiteral("\"%1\" is not a UUID").arg(key);
    return id;
}

} // namespace JsonFields
