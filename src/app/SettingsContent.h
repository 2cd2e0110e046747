#pragma once

#include "app/SettingsWindowController.h"

class Settings;
class SettingsServices;

// What the settings window shows: the settings view, whose "Done" closes the
// window.
namespace SettingsContent {

// On the app's own settings and services.
SettingsWindowController::ContentFactory factory();
SettingsWindowController::ContentFactory factory(Settings& settings, SettingsServices& services);

} // namespace SettingsContent
