#pragma once

#include <QVariantMap>

// What the build stamped into the program: "version" (the project version)
// and "build" (the build number), both as strings.
namespace BuildInfo {

QVariantMap infoDictionary();

} // namespace BuildInfo
