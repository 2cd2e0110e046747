#pragma once

#include <QString>

#include <functional>

// Every test program runs with its own home, data, config, cache and Downloads
// folders, so no test ever touches the user's real library or settings.
namespace TestEnvironment {

// Points HOME and the XDG folders at a fresh temporary folder. Call before the
// application object is made.
void isolate();

QString home();
QString sourceDir();  // the repository
QString binaryDir();  // the build folder
QString depsDir();    // the bundled tools' prefix

// Runs the event loop until `done` holds or `timeoutMs` passes; returns `done()`.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 5000);

} // namespace TestEnvironment
