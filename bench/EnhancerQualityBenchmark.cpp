// How well the voice enhancer's noise suppression keeps speech, against
// speexdsp set up on its own as a reference (1,024-sample frames, at most
// 25 dB of suppression, no levelling, no dereverberation).
//
// Sentences spoken by espeak-ng (two English and two Italian voices) follow
// one another with 1.5 s pauses; the file starts on the first word. Each is
// mixed with white, pink, babble-like or hum noise at 0, 5 and 10 dB SNR
// (speech at -26 dBFS while it is spoken), once with the noise running
// through the pauses and once with digital silence there (the system audio of
// a call, a noise-gated microphone). Each row prints, for the enhancer and
// the reference: the change of the speech's level, the noise reduction in
// the pauses, the segmental SNR, the residual's spectral kurtosis ratio (the
// musical-noise figure: 1 keeps the noise's character, higher flickers) and
// the change of the speech's level over the file's first 0.25 s; then the
// reference's change there when it already knows the background ("known"),
// and, for comparison, the change over the first 0.25 s of each later
// sentence (the mean). The last line counts the conditions in which the
// enhancer is worse than the reference by more than 0.5 dB on speech level or
// segmental SNR, or by more than 1 dB on the first word against either the
// reference's later onsets or "known".
//
// Usage: enhancer_quality_bench

#include "engines/enhancer/VoiceIsolation.h"

#include "BenchNoise.h"
#include "SpeechFixture.h"
#include "SpeechQuality.h"

#include <QCoreApplication>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include <speex/speex_preprocess.h>

namespace {

constexpr int kRate = 44100;
constexpr double kPauseSeconds = 1.5;
constexpr double kSpeechDbfs = -26;
constexpr double kAllowedLossDb = 0.5;
constexpr double kAllowedOnsetLossDb = 1.0;

struct Sentence {
    const char* voice;
    const char* text;
};

const Sentence kSentences[] = {
    {"en-us", "The quarterly numbers came in lower than we planned for."},
    {"en+f3", "Could you send the draft to everyone before Friday?"},
    {"it", "La riunione di domani comincia alle nove e mezza."},
    {"it+f3", "Abbiamo bisogno di una risposta entro la fine del mese."},
    {"en-us", "I think we should test it with real users first."},
    {"en+f3", "Thanks, that was really helpful for the whole team."},
    {"it", "Il progetto sarà pronto prima delle vacanze estive."},
    {"it+f3", "Possiamo spostare la chiamata a giovedì pomeriggio?"},
};

const Sentence kBabble[] = {
    {"en-us+m3", "We talked about the budget and the hiring plan for the autumn and nobody agreed."},
    {"en+f4", "My train was late again so I missed the first half of the presentation this morning."},
    {"it+m2", "Ieri sera siamo andati a cena in centro e abbiamo parlato per ore di viaggi."},
    {"en-gb", "The weather has been strange all week, sunny in the morning and raining by lunch."},
    {"it+f2", "Non so ancora se verrò alla festa, dipende da quando finisco il lavoro."},
    {"en-us+f2", "Could somebody please pass me the report from last year, the blue folder."},
};

std::vector<float> toFloat(const std::vector<int16_t>& samples)
{
    std::vector<float> out(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        out[i] = float(samples[i]) / 32768.0f;
    return out;
}

// espeak-ng's lead-in and tail are cut, so the first word starts at once.
std::vector<float> spokenTrimmed(const Sentence& sentence)
{
    std::vector<float> speech = toFloat(SpeechFixture::speak(QString::fromUtf8(sentence.text), QString::fromUtf8(sentence.voice)));
    const auto loud = [](float x) { return std::fabs(x) > 0.002f; };
    const auto first = std::find_if(speech.begin(), speech.end(), loud);
    const auto last = std::find_if(speech.rbegin(), speech.rend(), loud).base();
    return std::vector<float>(first, last);
}

struct Script {
    std::vector<float> clean;
    std::vector<char> spoken; // per sample: inside a sentence
    std::vector<size_t> starts; // of the sentences
};

Script makeScript()
{
    Script script;
    for (const Sentence& sentence : kSentences) {
        const std::vector<float> speech = spokenTrimmed(sentence);
        script.starts.push_back(script.clean.size());
        script.clean.insert(script.clean.end(), speech.begin(), speech.end());
        script.spoken.insert(script.spoken.end(), speech.size(), 1);
        const auto pause = static_cast<size_t>(kPauseSeconds * kRate);
        script.clean.insert(script.clean.end(), pause, 0.0f);
        script.spoken.insert(script.spoken.end(), pause, 0);
    }
    // The speech's level while it is spoken.
    double sum = 0;
    size_t count = 0;
    for (size_t i = 0; i < script.clean.size(); ++i) {
        if (script.spoken[i]) {
            sum += double(script.clean[i]) * script.clean[i];
            ++count;
        }
    }
    const double scale = std::pow(10.0, kSpeechDbfs / 20) / std::sqrt(sum / double(count));
    for (float& x : script.clean)
        x = float(x * scale);
    return script;
}

std::vector<float> makeBabble(size_t samples)
{
    std::vector<std::vector<float>> talkers;
    for (const Sentence& sentence : kBabble)
        talkers.push_back(spokenTrimmed(sentence));
    return BenchNoise::babble(talkers, samples);
}

std::vector<int16_t> to16Bit(const std::vector<float>& signal)
{
    std::vector<int16_t> out(signal.size());
    for (size_t i = 0; i < signal.size(); ++i)
        out[i] = static_cast<int16_t>(std::lround(std::clamp(signal[i] * 32768.0f, -32768.0f, 32767.0f)));
    return out;
}

// The enhancer's noise suppression on a recording of the microphone alone
// (the same samples left and right), lined up with its input.
std::vector<float> enhance(const std::vector<int16_t>& mono)
{
    VoiceIsolation isolation(kRate);
    const size_t latency = isolation.latencyFrames();
    std::vector<int16_t> stereo((mono.size() + latency) * 2, 0);
    for (size_t i = 0; i < mono.size(); ++i)
        stereo[2 * i] = stereo[2 * i + 1] = mono[i];
    const size_t frames = stereo.size() / 2;
    std::vector<float> left(frames), right(frames);
    for (size_t at = 0; at < frames; at += 4096) {
        const size_t count = std::min<size_t>(4096, frames - at);
        isolation.process(stereo.data() + 2 * at, count, left.data() + at, right.data() + at);
    }
    return std::vector<float>(left.begin() + static_cast<std::ptrdiff_t>(latency), left.end());
}

// speexdsp alone; its output lags its input by one frame.
std::vector<float> reference(const std::vector<int16_t>& mono)
{
    constexpr int kFrame = 1024;
    const std::unique_ptr<SpeexPreprocessState, decltype(&speex_preprocess_state_destroy)> state(
        speex_preprocess_state_init(kFrame, kRate), speex_preprocess_state_destroy);
    int on = 1, off = 0, suppression = -25;
    speex_preprocess_ctl(state.get(), SPEEX_PREPROCESS_SET_DENOISE, &on);
    speex_preprocess_ctl(state.get(), SPEEX_PREPROCESS_SET_NOISE_SUPPRESS, &suppression);
    speex_preprocess_ctl(state.get(), SPEEX_PREPROCESS_SET_AGC, &off);
    speex_preprocess_ctl(state.get(), SPEEX_PREPROCESS_SET_DEREVERB, &off);
    std::vector<int16_t> samples = mono;
    samples.resize((mono.size() / kFrame + 2) * kFrame, 0);
    for (size_t at = 0; at < samples.size(); at += kFrame)
        speex_preprocess_run(state.get(), samples.data() + at);
    const std::vector<float> out = toFloat(samples);
    return std::vector<float>(out.begin() + kFrame, out.begin() + kFrame + static_cast<std::ptrdiff_t>(mono.size()));
}

// The reference's gain on the first quarter second once it knows the
// background: the file is played to it twice and the second time measured, so
// the first word comes, as every later one, after a pause. A fresh speex
// removes nothing for its first two seconds; this is the figure a
// suppressor that knows the background from the start can keep to (the first
// word may be quieter than later ones, and lowered more).
double firstWordWithKnownBackground(const std::vector<float>& clean, const std::vector<int16_t>& input)
{
    std::vector<int16_t> twice = input;
    twice.insert(twice.end(), input.begin(), input.end());
    const std::vector<float> out = reference(twice);
    return SpeechQuality::onsetDb(clean, std::vector<float>(out.begin() + static_cast<std::ptrdiff_t>(input.size()), out.end()));
}

QString figure(double value, const char* format)
{
    return std::isnan(value) ? QStringLiteral("-") : QString::asprintf(format, value);
}

QString pair(double ours, double theirs, const char* format)
{
    return QStringLiteral("%1/%2").arg(figure(ours, format), figure(theirs, format));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const Script script = makeScript();
    const size_t samples = script.clean.size();
    struct Noise {
        const char* name;
        std::vector<float> samples;
    };
    const Noise noises[] = {{"white", BenchNoise::white(samples, 3)},
                            {"pink", BenchNoise::pink(samples, 4)},
                            {"babble", makeBabble(samples)},
                            {"hum", BenchNoise::hum(samples)}};

    std::printf("%.1f s of speech and pauses, speech at %.0f dBFS; each figure: enhancer/reference\n",
                double(samples) / kRate, kSpeechDbfs);
    std::printf("%-7s %4s %-8s %13s %13s %13s %11s %13s %6s %13s\n", "noise", "SNR", "pauses", "speech dB",
                "pause NR dB", "segSNR dB", "kurtosis", "onset dB", "known", "later onsets");
    int worse = 0;
    for (const Noise& noise : noises) {
        for (const double snr : {0.0, 5.0, 10.0}) {
            for (const bool gated : {false, true}) {
                const double noiseRms = std::pow(10.0, (kSpeechDbfs - snr) / 20);
                std::vector<float> mixed(samples);
                for (size_t i = 0; i < samples; ++i) {
                    const bool heard = !gated || script.spoken[i];
                    mixed[i] = script.clean[i] + (heard ? float(noiseRms) * noise.samples[i] : 0.0f);
                }
                const std::vector<int16_t> input = to16Bit(mixed);
                const std::vector<float> heard = toFloat(input);
                const SpeechQuality::Measures ours = SpeechQuality::measure(script.clean, heard, enhance(input), script.starts);
                const SpeechQuality::Measures theirs = SpeechQuality::measure(script.clean, heard, reference(input), script.starts);
                const double knownOnset = firstWordWithKnownBackground(script.clean, input);
                const bool lowerSpeech = std::fabs(ours.speechDb) > std::fabs(theirs.speechDb) + kAllowedLossDb;
                const bool lowerSnr = ours.segmentalSnrDb < theirs.segmentalSnrDb - kAllowedLossDb;
                // The first word is held to both: the reference's later words
                // and its own first word once it knows the background.
                const bool lowerOnset = ours.onsetDb < std::max(knownOnset, theirs.laterOnsetsDb) - kAllowedOnsetLossDb;
                worse += lowerSpeech || lowerSnr || lowerOnset ? 1 : 0;
                std::printf("%-7s %4.0f %-8s %13s %13s %13s %11s %13s %6.1f %13s%s\n", noise.name, snr,
                            gated ? "silent" : "noisy", qPrintable(pair(ours.speechDb, theirs.speechDb, "%.1f")),
                            qPrintable(pair(ours.pauseReductionDb, theirs.pauseReductionDb, "%.1f")),
                            qPrintable(pair(ours.segmentalSnrDb, theirs.segmentalSnrDb, "%.1f")),
                            qPrintable(pair(ours.kurtosisRatio, theirs.kurtosisRatio, "%.2f")),
                            qPrintable(pair(ours.onsetDb, theirs.onsetDb, "%.1f")), knownOnset,
                            qPrintable(pair(ours.laterOnsetsDb, theirs.laterOnsetsDb, "%.1f")),
                            lowerSpeech || lowerSnr || lowerOnset ? "  worse" : "");
                std::fflush(stdout);
            }
        }
    }
    std::printf("Conditions where the enhancer is worse than the reference by more than %.1f dB on speech level or "
                "segmental SNR, or by more than %.0f dB on the first word against its later onsets or its first word "
                "with the background known (target 0): %d\n",
                kAllowedLossDb, kAllowedOnsetLossDb, worse);
    return 0;
}
