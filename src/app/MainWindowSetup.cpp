#include "app/MainWindowSetup.h"

#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "views/common/FrameClock.h"
#include "views/style/Style.h"
#include "views/window/MainWindow.h"

#include <QApplication>

namespace MainWindowSetup {

std::unique_ptr<MainWindow> create(RecordingViewModel& vm)
{
    Style::apply(*qApp);
    auto window = std::make_unique<MainWindow>(vm);
    // Minimised, hidden to the tray or covered, the window needs no live
    // values: the recording then costs what its sound costs.
    RecorderViewModel& recorder = vm.recorder();
    FrameClock::shared().followOnScreen(window.get(),
                                        [&recorder](bool onScreen) { recorder.setLiveValuesShown(onScreen); });
    return window;
}

} // namespace MainWindowSetup
