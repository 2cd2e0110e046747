#include "viewmodels/adapters/RealCollaborators.h"

#include "engines/enhancer/VoiceEnhancerEngine.h"
#include "engines/recap/RecapEngine.h"
#include "engines/speech/WhisperEngine.h"
#include "services/meetings/MeetingDetector.h"
#include "viewmodels/adapters/AudioDeviceManagerAdapter.h"
#include "viewmodels/adapters/AudioMixerRecorderAdapter.h"
#include "viewmodels/adapters/AudioPlayerManagerAdapter.h"
#include "viewmodels/adapters/AudioTrimmerAdapter.h"
#include "viewmodels/adapters/MeetingDetectorAdapter.h"
#include "viewmodels/adapters/RecapEngineAdapter.h"
#include "viewmodels/adapters/VoiceEnhancerEngineAdapter.h"
#include "viewmodels/adapters/WhisperEngineAdapter.h"

void RealCollaborators::fillIn(RecordingViewModel::Collaborators& c)
{
    if (!c.deviceManager)
        c.deviceManager = std::make_unique<AudioDeviceManagerAdapter>();
    if (!c.playerManager)
        c.playerManager = std::make_unique<AudioPlayerManagerAdapter>();
    if (!c.recorder)
        c.recorder = std::make_unique<AudioMixerRecorderAdapter>();
    if (!c.whisperEngine)
        c.whisperEngine = std::make_unique<WhisperEngineAdapter>(WhisperEngine::shared());
    if (!c.recapEngine)
        c.recapEngine = std::make_unique<RecapEngineAdapter>(RecapEngine::shared());
    if (!c.voiceEnhancer)
        c.voiceEnhancer = std::make_unique<VoiceEnhancerEngineAdapter>(VoiceEnhancerEngine::shared());
    if (!c.meetingDetector)
        c.meetingDetector = std::make_unique<MeetingDetectorAdapter>(MeetingDetector::shared());
    if (!c.trimmer)
        c.trimmer = std::make_unique<AudioTrimmerAdapter>();
}
