#include "audio/MP3Encoder.h"
#include "platform/media/Mp3Decoder.h"

#include <QTemporaryDir>

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

TEST(MP3Encoder, ToneRoundTripKeepsItsLength)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/folder/tone.mp3"));
    std::vector<int16_t> samples(44100 * 2 * 3);
    for (size_t i = 0; i < samples.size() / 2; ++i)
        samples[2 * i] = samples[2 * i + 1] = int16_t(8000 * std::sin(2 * M_PI * 440 * double(i) / 44100));
    {
        MP3Encoder encoder(path);
        EXPECT_EQ(encoder.samplesPerPass(), 1152);
        for (size_t offset = 0; offset < samples.size(); offset += 1000)
            encoder.encode(samples.data() + offset, std::min<size_t>(1000, samples.size() - offset));
        encoder.finish();
        encoder.finish();
    }
    Mp3Decoder decoder;
    ASSERT_TRUE(decoder.open(path));
    EXPECT_EQ(decoder.sampleRate(), 44100);
    EXPECT_EQ(decoder.channelCount(), 2);
    EXPECT_NEAR(decoder.durationSeconds(), 3.0, 1152.0 / 44100 * 2);
}
