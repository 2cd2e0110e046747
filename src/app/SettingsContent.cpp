#include "app/SettingsContent.h"

#include "views/settings/SettingsView.h"

namespace {

QWidget* connected(SettingsView* view, std::function<void()> closeWindow)
{
    QObject::connect(view, &SettingsView::doneRequested, view, std::move(closeWindow));
    return view;
}

} // namespace

namespace SettingsContent {

SettingsWindowController::ContentFactory factory()
{
    return [](RecordingViewModel& vm, std::function<void()> closeWindow) {
        return connected(new SettingsView(vm), std::move(closeWindow));
    };
}

SettingsWindowController::ContentFactory factory(Settings& settings, SettingsServices& services)
{
    return [&settings, &services](RecordingViewModel& vm, std::function<void()> closeWindow) {
        return connected(new SettingsView(vm, settings, services), std::move(closeWindow));
    };
}

} // namespace SettingsContent
