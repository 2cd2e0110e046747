// A sound server of its own with no output at all.
#include "audio/SystemAudioCapture.h"

#include "common/Error.h"
#include "support/PrivatePulseServer.h"

#include <gtest/gtest.h>

TEST(SystemAudioCaptureWithoutOutput, FailsToStartWithItsOwnError)
{
    PrivatePulseServer server({});
    ASSERT_TRUE(server.start());
    qputenv("PULSE_SERVER", server.address().toUtf8());

    EXPECT_FALSE(SystemAudioCapture::hasPermission());
    SystemAudioCapture capture;
    try {
        capture.start().waitForFinished();
        FAIL() << "started without an output";
    } catch (const Error& error) {
        EXPECT_EQ(error.domain(), QStringLiteral("SystemAudioCapture"));
        EXPECT_EQ(error.code(), 1);
        EXPECT_EQ(error.message(), QStringLiteral("No audio output found for system audio capture."));
    }
    EXPECT_FALSE(capture.isRunning());
}
