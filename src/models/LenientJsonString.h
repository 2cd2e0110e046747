#pragma once

#include <QString>

#include <string_view>

// A JSON string read the way the earlier reader (QJsonDocument) read it, for
// the strings the strict decoder refuses: every \u escape becomes that UTF-16
// code unit, paired or not, so a lone surrogate an older index holds comes
// back as it was written.
namespace LenientJsonString {

// `token` starts at the opening quote. False for a string that ends early or
// holds an escape JSON does not know.
bool read(std::string_view token, QString& out);

} // namespace LenientJsonString
