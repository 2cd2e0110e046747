// Feeds two sources of captured audio (48 kHz float stereo in deliveries of
// 480 frames, as a sound-server record stream gives them) through conversion,
// mixing and MP3 encoding, and prints the CPU time per hour of audio, the
// resident memory along the way, and, last, our CPU time divided by the time
// `lame -b 192` takes for the same mixed PCM.
//
//   audio_bench [minutes of audio, default 60]

#include "audio/AudioBufferExtractor.h"
#include "audio/AudioMixer.h"
#include "audio/MP3Encoder.h"

#include <QByteArray>
#include <QString>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int captureRate = 48000;
constexpr int deliveryFrames = 480;
constexpr int cycleDeliveries = 1000; // 10 s of distinct input, repeated

class FixedProbe : public AudioHardwareProbe {
public:
    std::optional<float> defaultInputVolume() override { return 0.8f; }
    std::optional<QString> defaultOutputDeviceName() override { return QStringLiteral("Built-in Audio Analog Stereo"); }
};

double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

long residentKiB()
{
    long pages = 0;
    long resident = 0;
    if (FILE* file = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(file, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(file);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long peakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Deterministic noise in -1 ... 1.
float noise(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return float(int32_t(state)) / 2147483648.0f;
}

CapturedBuffer makeDelivery(const std::vector<float>& interleaved)
{
    CapturedBuffer buffer;
    buffer.sampleRate = captureRate;
    buffer.isFloat = true;
    buffer.channelsPerFrame = 2;
    buffer.frameCount = deliveryFrames;
    buffer.buffers = {QByteArray(reinterpret_cast<const char*>(interleaved.data()),
                                 qsizetype(interleaved.size() * sizeof(float)))};
    return buffer;
}

// A voice: a gliding pitch with harmonics, syllables at about 4 Hz, pauses
// every few seconds, room noise; the same on both sides of the microphone.
std::vector<CapturedBuffer> makeMicrophone()
{
    std::vector<CapturedBuffer> deliveries;
    uint32_t state = 12345;
    double phase = 0;
    for (int d = 0; d < cycleDeliveries; ++d) {
        std::vector<float> frames(2 * deliveryFrames);
        for (int i = 0; i < deliveryFrames; ++i) {
            const double t = double(d * deliveryFrames + i) / captureRate;
            const double pitch = 150 + 40 * std::sin(2 * M_PI * 0.7 * t);
            phase += 2 * M_PI * pitch / captureRate;
            const double syllables = std::max(0.0, std::sin(2 * M_PI * 4.1 * t));
            const double talking = std::fmod(t, 4.0) < 3.0 ? 1.0 : 0.05;
            const double voice = (std::sin(phase) + 0.5 * std::sin(2 * phase) + 0.25 * std::sin(3 * phase)) / 1.75;
            const float v = float(0.12 * talking * syllables * voice + 0.002 * noise(state));
            frames[2 * i] = frames[2 * i + 1] = v;
        }
        deliveries.push_back(makeDelivery(frames));
    }
    return deliveries;
}

// The other side of a call and some music: different on each side, loud
// enough to engage the echo guard, with silent stretches.
std::vector<CapturedBuffer> makeSystem()
{
    std::vector<CapturedBuffer> deliveries;
    uint32_t state = 777;
    for (int d = 0; d < cycleDeliveries; ++d) {
        std::vector<float> frames(2 * deliveryFrames);
        for (int i = 0; i < deliveryFrames; ++i) {
            const double t = double(d * deliveryFrames + i) / captureRate;
            const double playing = std::fmod(t, 5.0) < 3.5 ? 1.0 : 0.0;
            const double chord = std::sin(2 * M_PI * 220 * t) + 0.6 * std::sin(2 * M_PI * 277.2 * t)
                + 0.4 * std::sin(2 * M_PI * 329.6 * t);
            const double beat = std::exp(-8 * std::fmod(t, 0.5));
            frames[2 * i] = float(playing * (0.2 * chord * (0.5 + 0.5 * beat)) + 0.01 * noise(state));
            frames[2 * i + 1] = float(playing * (0.18 * chord * (0.5 + 0.5 * beat) + 0.05 * noise(state)));
        }
        deliveries.push_back(makeDelivery(frames));
    }
    return deliveries;
}

// Collects the mixed PCM and writes it out for lame in large blocks; the time
// this takes is kept apart from ours.
class PcmDump {
public:
    explicit PcmDump(const std::string& path)
        : m_fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600))
    {
        if (m_fd < 0) {
            std::perror("pcm dump");
            std::exit(1);
        }
        m_block.reserve(blockSamples);
    }
    ~PcmDump() { ::close(m_fd); }

    void add(const std::vector<int16_t>& samples)
    {
        m_block.insert(m_block.end(), samples.begin(), samples.end());
        if (m_block.size() >= blockSamples)
            write();
    }
    void write()
    {
        const double start = cpuSeconds();
        const char* data = reinterpret_cast<const char*>(m_block.data());
        size_t remaining = m_block.size() * sizeof(int16_t);
        while (remaining > 0) {
            const ssize_t written = ::write(m_fd, data, remaining);
            if (written <= 0) {
                std::perror("pcm dump");
                std::exit(1);
            }
            data += written;
            remaining -= size_t(written);
        }
        m_block.clear();
        m_seconds += cpuSeconds() - start;
    }
    double seconds() const { return m_seconds; }

private:
    static constexpr size_t blockSamples = 1 << 20;
    int m_fd;
    std::vector<int16_t> m_block;
    double m_seconds = 0;
};

// CPU seconds (user and system) that `lame` takes for the raw PCM file.
double runLame(const std::string& pcmPath, const std::string& mp3Path)
{
    const pid_t child = fork();
    if (child < 0) {
        std::perror("fork");
        std::exit(1);
    }
    if (child == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDERR_FILENO); // its libsndfile warning about -r; failures show in the status
        execlp("lame", "lame", "--quiet", "-r", "-s", "44.1", "--bitwidth", "16", "--signed", "--little-endian",
               "-b", "192", pcmPath.c_str(), mp3Path.c_str(), static_cast<char*>(nullptr));
        std::perror("lame");
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "lame failed (status %d); install the lame package\n", status);
        std::exit(1);
    }
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec) + double(usage.ru_utime.tv_usec) / 1e6 + double(usage.ru_stime.tv_sec)
        + double(usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds our encoder alone takes for the raw PCM file (reading excluded).
double encodeAlone(const std::string& pcmPath, const std::string& mp3Path)
{
    const int fd = ::open(pcmPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::perror("pcm");
        std::exit(1);
    }
    std::vector<int16_t> block(1 << 20);
    double reading = 0;
    const double start = cpuSeconds();
    {
        MP3Encoder encoder(QString::fromStdString(mp3Path));
        for (;;) {
            const double before = cpuSeconds();
            const ssize_t got = ::read(fd, block.data(), block.size() * sizeof(int16_t));
            reading += cpuSeconds() - before;
            if (got <= 0)
                break;
            encoder.encode(block.data(), size_t(got) / sizeof(int16_t));
        }
        encoder.finish();
    }
    ::close(fd);
    return cpuSeconds() - start - reading;
}

} // namespace

int main(int argc, char** argv)
{
    const double minutes = argc > 1 ? std::atof(argv[1]) : 60.0;
    if (!(minutes > 0)) {
        std::fprintf(stderr, "usage: %s [minutes of audio]\n", argv[0]);
        return 2;
    }
    char folderTemplate[] = "/tmp/audio_bench-XXXXXX";
    const char* folder = mkdtemp(folderTemplate);
    if (!folder) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string ourMp3 = std::string(folder) + "/ours.mp3";
    const std::string pcmPath = std::string(folder) + "/mixed.raw";
    const std::string lameMp3 = std::string(folder) + "/lame.mp3";

    const std::vector<CapturedBuffer> microphone = makeMicrophone();
    const std::vector<CapturedBuffer> system = makeSystem();
    const long deliveries = long(std::llround(minutes * 60 * captureRate / deliveryFrames));
    const long checkpointEvery = std::max(1L, long(10 * 60 * captureRate / deliveryFrames));

    std::printf("audio: %.1f min, two sources, %ld deliveries of %d frames at %d Hz each\n", minutes, deliveries,
                deliveryFrames, captureRate);
    std::printf("memory before: resident %ld KiB, peak %ld KiB\n", residentKiB(), peakResidentKiB());

    PcmDump dump(pcmPath);
    size_t mixedSamples = 0;
    const double start = cpuSeconds();
    {
        AudioMixer mixer(std::make_shared<FixedProbe>());
        mixer.setMicGain(1.4f);
        mixer.setSysGain(0.9f);
        MP3Encoder encoder(QString::fromStdString(ourMp3));
        const auto take = [&](const AudioMixer::DeliveryResult& result) {
            for (const MixStep& step : result.steps) {
                encoder.encode(step.samples);
                mixedSamples += step.samples.size();
                dump.add(step.samples);
            }
        };
        for (long d = 0; d < deliveries; ++d) {
            const size_t index = size_t(d % cycleDeliveries);
            const AudioBufferExtractor::Extracted mic = AudioBufferExtractor::extractStereo44k(microphone[index], true);
            take(mixer.mixDelivery(AudioMixer::Source::Microphone, mic.samples));
            const AudioBufferExtractor::Extracted sys = AudioBufferExtractor::extractStereo44k(system[index], false);
            take(mixer.mixDelivery(AudioMixer::Source::System, sys.samples));
            if ((d + 1) % checkpointEvery == 0)
                std::printf("memory at %5.1f min: resident %ld KiB, peak %ld KiB\n",
                            double(d + 1) * deliveryFrames / captureRate / 60, residentKiB(), peakResidentKiB());
        }
        const std::vector<int16_t> rest = mixer.flush();
        encoder.encode(rest);
        mixedSamples += rest.size();
        dump.add(rest);
        encoder.finish();
    }
    const double ours = cpuSeconds() - start - dump.seconds();
    dump.write();
    std::printf("memory after:  resident %ld KiB, peak %ld KiB\n", residentKiB(), peakResidentKiB());

    const double audioHours = double(mixedSamples) / 2 / 44100 / 3600;
    const double lame = runLame(pcmPath, lameMp3);
    const double shineAlone = encodeAlone(pcmPath, lameMp3 + ".shine");
    std::printf("mixed: %.4f h of 44.1 kHz stereo; our MP3 %.1f MB, lame's %.1f MB\n", audioHours,
                double(std::filesystem::file_size(ourMp3)) / 1e6, double(std::filesystem::file_size(lameMp3)) / 1e6);
    std::printf("ours (conversion, mixing, shine): %.2f CPU s per hour of audio\n", ours / audioHours);
    std::printf("  of which shine encoding:         %.2f CPU s per hour of audio\n", shineAlone / audioHours);
    std::printf("lame -b 192 (encoding only):       %.2f CPU s per hour of audio\n", lame / audioHours);
    std::filesystem::remove_all(folder);
    std::printf("ratio ours / lame: %.3f\n", ours / lame);
    return 0;
}
