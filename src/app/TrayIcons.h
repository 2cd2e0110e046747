#pragma once

#include "app/TrayMenu.h"

#include <QIcon>

// The tray item's icons, drawn here so they read on light and dark panels
// alike: a waveform while idle, a red disc while recording, an amber disc
// with pause bars while paused.
namespace TrayIcons {

QIcon icon(TrayMenu::Look look);
// The app's own emblem (window icon, About panel): white bars on a purple tile.
QIcon appIcon();

} // namespace TrayIcons
