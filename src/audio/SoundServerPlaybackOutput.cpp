#include "audio/SoundServerPlaybackOutput.h"

void SoundServerPlaybackOutput::open(int sampleRate, int channels, Handlers handlers)
{
    m_stream.open(sampleRate, channels,
                  {std::move(handlers.render), std::move(handlers.drained), std::move(handlers.failed)});
}
