#include "app/MainWindowSetup.h"

#include "views/style/Style.h"
#include "views/window/MainWindow.h"

#include <QApplication>

namespace MainWindowSetup {

std::unique_ptr<MainWindow> create(RecordingViewModel& vm)
{
    Style::apply(*qApp);
    return std::make_unique<MainWindow>(vm);
}

} // namespace MainWindowSetup
