#include "audio/SystemAudioPermission.h"

namespace {

class MonitorRecordingPermission : public SystemAudioPermission {
public:
    bool isGranted() const override { return true; }
    void request() override {}
};

} // namespace

SystemAudioPermission& SystemAudioPermission::shared()
{
    static MonitorRecordingPermission permission;
    return permission;
}
