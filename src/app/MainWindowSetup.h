#pragma once

#include <memory>

class MainWindow;
class RecordingViewModel;

// Styles the application and makes the main window over the view model, which
// copies the live values of a recording only while the window is on screen.
// The delegate decides when it shows.
namespace MainWindowSetup {

std::unique_ptr<MainWindow> create(RecordingViewModel& vm);

} // namespace MainWindowSetup
