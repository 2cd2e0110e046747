#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

// Helpers shared by the record decoders: each returns nothing and sets
// `error` when the key is missing (for required fields) or holds the wrong kind.
namespace JsonFields {

QString uuidText(const QUuid& id);
std::optional<QUuid> parseUuid(const QString& text);

// A double that JSON can hold: NaN and infinities become 0.
double finiteOrZero(double value, bool* replaced = nullptr);
// A float written in its shortest form ("0.3", not 0.30000001192092896).
double shortestFloat(float value);

bool isAbsent(const QJsonObject& object, const QString& key);
std::optional<QString> requiredString(const QJsonObject& object, const QString& key, QString& error);
std::optional<double> requiredNumber(const QJsonObject& object, const QString& key, QString& error);
std::optional<qint64> requiredInteger(const QJsonObject& object, const QString& key, QString& error);
std::optional<QUuid> requiredUuid(const QJsonObject& object, const QString& key, QString& error);

} // namespace JsonFields
