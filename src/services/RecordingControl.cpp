#include "services/RecordingControl.h"

namespace {

RecordingControl* sharedControl = nullptr;

} // namespace

RecordingControl* RecordingControl::shared()
{
    return sharedControl;
}

void RecordingControl::setShared(RecordingControl* control)
{
    sharedControl = control;
}
