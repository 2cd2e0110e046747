#include "views/logic/WindowStartRules.h"

namespace WindowStartRules {

bool hasMinimizedFlag(const QStringList& arguments)
{
    return arguments.contains(QStringLiteral("--minimized")) || arguments.contains(QStringLiteral("-minimized"));
}

bool shouldHide(const QStringList& arguments, bool launchedAtLogin, bool hasUserRequestedOpen)
{
    return (launchedAtLogin || hasMinimizedFlag(arguments)) && !hasUserRequestedOpen;
}

} // namespace WindowStartRules
