#pragma once

#include "views/logic/ViewColor.h"

#include <QString>

// How the window shows the view model's one-line status message.
namespace StatusMessageRules {

// A text that mentions a failure or asks something of the user is a problem;
// the words are looked for anywhere, in any letter case, also inside a quoted
// recording title.
bool isProblem(const QString& message);

QString symbol(const QString& message);
Tint symbolTint(const QString& message);

} // namespace StatusMessageRules
