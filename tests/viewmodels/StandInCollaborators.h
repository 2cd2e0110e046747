#pragma once

#include "FakeClipboard.h"
#include "FakeDeviceManager.h"
#include "FakeEnhancer.h"
#include "FakeFocus.h"
#include "FakeMeetingDetector.h"
#include "FakePlayer.h"
#include "FakeRecapWriter.h"
#include "FakeRecorder.h"
#include "FakeTranscriber.h"
#include "viewmodels/RecordingViewModel.h"

#include <memory>

// Every collaborator of the view model as a stand-in, over the given library
// and settings; the recap model is looked for in `modelsFolder`. For the
// benchmarks, which drive the view model without looking at the fakes.
inline RecordingViewModel::Collaborators standInCollaborators(RecordingsStorage& storage, Settings& settings,
                                                              const QString& modelsFolder)
{
    RecordingViewModel::Collaborators c;
    c.deviceManager = std::make_unique<FakeDeviceManager>();
    c.playerManager = std::make_unique<FakePlayer>();
    c.recorder = std::make_unique<FakeRecorder>();
    c.whisperEngine = std::make_unique<FakeTranscriber>();
    c.recapEngine = std::make_unique<FakeRecapWriter>(modelsFolder);
    c.voiceEnhancer = std::make_unique<FakeEnhancer>();
    c.meetingDetector = std::make_unique<FakeMeetingDetector>();
    c.clipboard = std::make_unique<FakeClipboard>();
    c.focus = std::make_unique<FakeFocus>();
    c.storage = &storage;
    c.settings = &settings;
    return c;
}
