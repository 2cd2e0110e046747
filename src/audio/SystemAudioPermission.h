#pragma once

// Whether the system's audio output may be recorded, and the request for it.
// The sound server lets any of the user's programs record an output's
// monitor, so the shared answer is always yes; the interface is the one place
// a desktop that asks first would answer.
class SystemAudioPermission {
public:
    virtual ~SystemAudioPermission() = default;

    virtual bool isGranted() const = 0;
    // Asks the user where the desktop asks; the answer is read with isGranted.
    virtual void request() = 0;

    static SystemAudioPermission& shared();
};
