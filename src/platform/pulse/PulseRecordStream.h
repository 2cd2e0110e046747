#pragma once

#include "common/Error.h"
#include "platform/pulse/PulseStreamLifecycle.h"

#include <QByteArray>
#include <QString>

#include <pulse/stream.h>

#include <functional>

// A record stream on one source of the shared connection, delivering 32-bit
// float interleaved stereo at 44,100 Hz (the server converts whatever the
// source has). Pieces arrive about every 40 ms: without a small fragment size
// an idle null sink's monitor delivers in two-second lumps, and a smaller one
// wakes every thread of the capture path more often for no audible gain.
class PulseRecordStream {
public:
    static constexpr int sampleRate = 44100;
    static constexpr int channels = 2;

    // Both run on the sound server's thread with its lock held: hand the data
    // on (a copy is cheap, QByteArray is shared) and never wait there.
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
        int fragmentMilliseconds = 40;
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
    PulseStreamLifecycle m_lifecycle;
};
