// Stands in for a recorder that dies mid-capture: encodes a 440 Hz stereo tone
// into the capture file given as its argument, in the mixer's 576-frame chunks
// and as fast as it can, and after each chunk prints the samples per channel
// handed to the encoder so far. It never finishes the file; the test kills it.
#include "audio/MP3Encoder.h"

#include <QString>

#include <cmath>
#include <cstdio>
#include <vector>

#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: capture_writer <capture file>\n");
        return 2;
    }
    constexpr long long kChunk = 576;
    // Ten minutes of audio at most; then wait to be killed.
    constexpr long long kLimit = 44100LL * 600;
    MP3Encoder encoder(QString::fromLocal8Bit(argv[1]));
    std::vector<int16_t> chunk(kChunk * 2);
    for (long long handed = 0; handed < kLimit;) {
        for (long long i = 0; i < kChunk; ++i)
            chunk[2 * i] = chunk[2 * i + 1] = int16_t(8000 * std::sin(2 * M_PI * 440 * double(handed + i) / 44100));
        encoder.encode(chunk);
        handed += kChunk;
        std::printf("%lld\n", handed);
        std::fflush(stdout);
    }
    for (;;)
        ::pause();
}
