// The source bar over the real view model: the recorder, the device list and
// the library on the sound server that scripts/test starts.
#include "common/Settings.h"
#include "common/SettingsKeys.h"
#include "models/RecordingsStorage.h"
#include "platform/media/Mp3Decoder.h"
#include "support/PulseTestTools.h"
#include "support/QtPrinters.h"
#include "support/TemporaryModule.h"
#include "support/TestEnvironment.h"
#include "support/ToneDetector.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "views/sourcebar/GainControl.h"
#include "views/sourcebar/SourceControlBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

using namespace PulseTestTools;

namespace {

constexpr double toneFrequency = 440;

class RecordingBar : public ::testing::Test {
protected:
    void SetUp() override
    {
        // No call to follow here; the detector stays quiet.
        Settings::shared().setValue(SettingsKeys::autoDetectMeetings, false);
        Settings::shared().setValue(SettingsKeys::autoTranscribe, false);
        m_vm = std::make_unique<RecordingViewModel>();
        m_bar = std::make_unique<SourceControlBar>(m_vm->recorder());
        m_bar->resize(1300, 60);
        m_bar->show();
    }

    void TearDown() override
    {
        if (m_vm->recorder().recorderState() != RecorderState::idle) {
            m_vm->recorder().stopRecording();
            TestEnvironment::waitUntil([&] { return m_vm->recorder().recorderState() == RecorderState::idle; }, 20000);
        }
        for (const RecordingItem& item : m_vm->library().recordings())
            m_vm->library().deleteRecording(item);
        m_bar.reset();
        m_vm.reset();
    }

    // The microphone alone: mixed in fixed steps whatever the server delivers.
    void startMicrophoneRecording()
    {
        if (m_bar->systemToggle()->isChecked())
            m_bar->systemToggle()->click();
        ASSERT_FALSE(m_vm->recorder().isSystemAudioEnabled());
        m_vm->recorder().startNewRecording();
        ASSERT_TRUE(TestEnvironment::waitUntil(
            [&] { return m_vm->recorder().recorderState() == RecorderState::recording; }, 10000));
    }

    void waitForDuration(double seconds)
    {
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return m_vm->recorder().recordingDuration() >= seconds; }, 20000));
    }
    RecordingItem stopAndSave()
    {
        m_vm->recorder().stopRecording();
        EXPECT_TRUE(TestEnvironment::waitUntil(
            [&] {
                return m_vm->recorder().recorderState() == RecorderState::idle
                    && !m_vm->library().recordings().isEmpty();
            },
            20000));
        return m_vm->library().recordings().isEmpty() ? RecordingItem{} : m_vm->library().recordings().first();
    }

    QStringList folderFiles() const
    {
        return QDir(RecordingsStorage::shared().storageDirectory())
            .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    std::unique_ptr<RecordingViewModel> m_vm;
    std::unique_ptr<SourceControlBar> m_bar;
};

// A recording's file as interleaved stereo samples at 44,100 Hz.
std::vector<int16_t> decodedSamples(const QString& path)
{
    Mp3Decoder decoder;
    EXPECT_TRUE(decoder.open(path, Mp3Decoder::SampleFormat::Int16, Mp3Decoder::Channels::Stereo));
    EXPECT_EQ(decoder.sampleRate(), 44100);
    std::vector<int16_t> samples;
    std::vector<int16_t> chunk(2 * 4096);
    while (true) {
        const int64_t frames = decoder.read(chunk.data(), 4096);
        if (frames <= 0)
            break;
        samples.insert(samples.end(), chunk.begin(), chunk.begin() + 2 * frames);
    }
    return samples;
}

// The tone's strength in each quarter second of a recording's file.
std::vector<double> toneByWindow(const QString& path)
{
    const std::vector<int16_t> samples = decodedSamples(path);
    constexpr size_t window = 44100 / 4;
    std::vector<double> strengths;
    for (size_t first = 0; first + window <= samples.size() / 2; first += window)
        strengths.push_back(ToneDetector::amplitude(samples, 2, 44100, toneFrequency, first, window));
    return strengths;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

TEST_F(RecordingBar, PickerListsTheTestMicrophoneAndNeverAMonitor)
{
    auto listed = [&] {
        QStringList rows;
        for (int i = 0; i < m_bar->micPicker()->count(); ++i)
            rows << m_bar->micPicker()->itemText(i) + QStringLiteral(" = ") + m_bar->micPicker()->itemData(i).toString();
        return rows;
    };
    auto hasMonitor = [&] {
        const QStringList rows = listed();
        return std::any_of(rows.begin(), rows.end(),
                           [](const QString& row) { return row.contains(QStringLiteral("onitor")); });
    };
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return listed().contains("Test_Microphone = test_mic"); }, 5000))
        << listed().join(QStringLiteral("; ")).toStdString();
    EXPECT_FALSE(hasMonitor()) << listed().join(QStringLiteral("; ")).toStdString();
    EXPECT_EQ(m_bar->micPicker()->currentData().toString(), "test_mic");

    // A new output brings a monitor, which stays out; a new microphone comes in.
    TemporaryModule output(QStringLiteral("module-null-sink"),
                           {QStringLiteral("sink_name=bar_out"), QStringLiteral("sink_properties=device.description=Bar_Out")});
    TemporaryModule microphone(nullSource(QStringLiteral("bar_mic"), QStringLiteral("Bar_Mic")));
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return listed().contains("Bar_Mic = bar_mic"); }, 5000))
        << listed().join(QStringLiteral("; ")).toStdString();
    EXPECT_FALSE(hasMonitor()) << listed().join(QStringLiteral("; ")).toStdString();
    microphone.remove();
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return !listed().contains("Bar_Mic = bar_mic"); }, 5000));
}

TEST_F(RecordingBar, MicrophoneOffAndOnAgainMidRecordingKeepsOneFile)
{
    // Mixed chunks that carry a tone, as the live waveform reports them.
    int loudChunks = 0;
    QObject::connect(&m_vm->recorder(), &RecorderViewModel::liveWaveformPointsChanged, m_vm.get(), [&] {
        if (!m_vm->recorder().liveWaveformPoints().isEmpty() && m_vm->recorder().liveWaveformPoints().last() > 0.1f)
            ++loudChunks;
    });
    constexpr double before = 440;
    constexpr double after = 660;

    startMicrophoneRecording();
    {
        TonePlayer tone(QStringLiteral("mic_feed"), sineTone(before, 3.0, 0.3));
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return loudChunks >= 10; }, 10000));
        m_bar->micToggle()->click();
        ASSERT_FALSE(m_vm->recorder().isMicEnabled());
    }
    TestEnvironment::waitUntil([] { return false; }, 500);
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::recording);

    loudChunks = 0;
    m_bar->micToggle()->click();
    ASSERT_TRUE(m_vm->recorder().isMicEnabled());
    TonePlayer tone(QStringLiteral("mic_feed"), sineTone(after, 3.0, 0.3));
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return loudChunks >= 10; }, 10000));
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::recording);

    const RecordingItem item = stopAndSave();
    ASSERT_EQ(m_vm->library().recordings().size(), 1);
    EXPECT_EQ(folderFiles(), QStringList{item.fileName});
    // Both tones, the one before the switch and the one after it, in the one file.
    const std::vector<int16_t> samples = decodedSamples(RecordingsStorage::shared().fileURL(item));
    EXPECT_GT(ToneDetector::peakAmplitude(samples, 2, 44100, before), 0.05);
    EXPECT_GT(ToneDetector::peakAmplitude(samples, 2, 44100, after), 0.05);
}

TEST_F(RecordingBar, GainChangeWhileRecordingChangesTheRecordedLevel)
{
    GainControl* gain = m_bar->micGain();
    gain->slider()->setValue(500); // 0.5
    ASSERT_FLOAT_EQ(m_vm->recorder().micVolume(), 0.5f);
    startMicrophoneRecording();
    TonePlayer tone(QStringLiteral("mic_feed"), sineTone(toneFrequency, 7.0, 0.1));
    waitForDuration(3.5);
    gain->slider()->setValue(2000); // 2.0
    ASSERT_FLOAT_EQ(m_vm->recorder().micVolume(), 2.0f);
    ASSERT_TRUE(tone.wait());
    const RecordingItem item = stopAndSave();

    // The windows that carry the tone, before and after the change.
    std::vector<double> levels = toneByWindow(RecordingsStorage::shared().fileURL(item));
    std::erase_if(levels, [](double level) { return level < 0.005; });
    ASSERT_GE(levels.size(), 16u);
    const double before = median({levels.begin(), levels.begin() + 6});
    const double after = median({levels.end() - 6, levels.end()});
    EXPECT_GT(after, 2.5 * before) << "before " << before << ", after " << after;
}
