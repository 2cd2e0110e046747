#include "common/AppPaths.h"
#include "engines/speech/SpeechAudioDecoder.h"

#include <QDir>

#include <cmath>

#include <gtest/gtest.h>

#include "SpeechFixture.h"

TEST(SpeechAudioDecoder, DecodesARecordingTo16kMono)
{
    const QString path = QDir(AppPaths::privateTempFolder()).filePath(QStringLiteral("decoder-speech.mp3"));
    const double seconds = SpeechFixture::writeSpeechMp3(path, QStringLiteral("One two three four five."), 7.0);
    ASSERT_DOUBLE_EQ(seconds, 7.0);

    const std::vector<float> samples = SpeechAudioDecoder::decodeTo16kMono(path);
    // The encoder pads its last frame and starts late; both are a few
    // thousand 44.1 kHz samples at most.
    EXPECT_NEAR(double(samples.size()), 7.0 * 16000, 16000 * 0.1);
    float peak = 0;
    for (float sample : samples) {
        ASSERT_TRUE(std::isfinite(sample));
        peak = std::max(peak, std::fabs(sample));
    }
    EXPECT_GT(peak, 0.05f);
    EXPECT_LE(peak, 1.5f);
}
