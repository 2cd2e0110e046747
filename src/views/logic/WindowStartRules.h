#pragma once

#include <QStringList>

// Whether the main window starts hidden (a login launch or "--minimized").
namespace WindowStartRules {

constexpr int minimumWidth = 960;
constexpr int minimumHeight = 560;

// Whole arguments only: "--minimized=1" does not count.
bool hasMinimizedFlag(const QStringList& arguments);

// Hidden until the user has asked for the window once.
bool shouldHide(const QStringList& arguments, bool launchedAtLogin, bool hasUserRequestedOpen);

} // namespace WindowStartRules
