#pragma once

#include "common/Error.h"
#include "platform/pulse/PulseStreamLifecycle.h"

#include <QByteArray>
#include <QString>

#include <pulse/stream.h>

#include <functional>

// A record stream on one source of the shared connection, delivering 32-bit
// float interleaved stereo at 44,100 Hz (the server converts whatever the
// source has). Pieces arrive about every 100 ms unless the source itself runs
// faster: without a fragment size an idle null sink's monitor delivers in
// two-second lumps, and a smaller one costs CPU for nothing a recording needs.
// Every piece the server sends wakes the sound server's thread, and that wake
// is most of what a recording costs besides the MP3 encoding.
//
// The server sends a piece whenever its source produces one, often a period
// split in two (a large piece and a few frames) or many small ones for a
// low-latency output. Everything readable at once goes out as one delivery,
// and less than `minimumDeliveryFrames` waits for the next: each delivery
// wakes the consumer's thread, and a few frames are too little to judge a
// buffer's level by. Gaps the server reports in the stream arrive as silence,
// so the stream's timeline stays whole.
class PulseRecordStream {
public:
    static constexpr int sampleRate = 44100;
    static constexpr int channels = 2;
    static constexpr int minimumDeliveryFrames = sampleRate / 50; // 20 ms

    // Both run on the sound server's thread with its lock held: hand the data
    // on (keeping the QByteArray is cheap, it is shared) and never wait there.
    using DataHandler = std::function<void(const QByteArray& interleavedFloats)>;
    // The server ended the stream: its source went away (with `dontMove`), the
    // connection was lost, or the stream was killed.
    using EndHandler = std::function<void(const Error& error)>;

    struct Options {
        QString sourceName;
        QString streamName;
        // Stay on this source: losing it ends the stream instead of moving it
        // elsewhere, and a new default source does not take it away.
        bool dontMove = true;
        int fragmentMilliseconds = 100;
    };

    PulseRecordStream(Options options, DataHandler onData, EndHandler onEnded);
    ~PulseRecordStream();
    PulseRecordStream(const PulseRecordStream&) = delete;
    PulseRecordStream& operator=(const PulseRecordStream&) = delete;

    // Connects and waits until the server has set the stream up. Throws an
    // Error of domain "PulseAudio" (no such source, not connected, ...). Never
    // call it on the sound server's thread.
    void open();
    // Disconnects; no handler runs once it returns. Safe to call twice.
    void close();

    const QString& sourceName() const { return m_options.sourceName; }

private:
    static void onStateChanged(pa_stream* stream, void* userdata);
    static void onReadable(pa_stream* stream, size_t bytes, void* userdata);
    void closeLocked();

    Options m_options;
    DataHandler m_onData;
    EndHandler m_onEnded;
    pa_stream* m_stream = nullptr;
    QByteArray m_pending; // read and not yet delivered; the server's thread only
    PulseStreamLifecycle m_lifecycle;
};
