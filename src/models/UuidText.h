#pragma once

#include <QString>
#include <QUuid>

#include <optional>
#include <string_view>

// The canonical text of a UUID as the library stores it: 36 characters,
// upper-case hexadecimal in groups of 8-4-4-4-12 joined by hyphens.
namespace UuidText {

QString format(const QUuid& id);
// Exactly that form (either letter case); anything else gives nothing.
std::optional<QUuid> parse(std::string_view text);

} // namespace UuidText
