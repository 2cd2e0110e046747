#include "audio/MP3Encoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

extern "C" {
#include <shine/layer3.h>
}

namespace {

Error fileError(const QString& what, int error)
{
    return Error(QStringLiteral("MP3Encoder"), 2, what + QString::fromLocal8Bit(std::strerror(error)));
}

} // namespace

MP3Encoder::MP3Encoder(const QString& outputPath, int sampleRate, int bitrate, int channels)
    : m_path(outputPath)
    , m_sampleRate(sampleRate)
    , m_channels(channels == 1 ? 1 : 2)
    , m_bitrate(bitrate)
{
    const QString folder = QFileInfo(outputPath).absolutePath();
    if (!QDir().mkpath(folder))
        throw Error(QStringLiteral("FileManager"), EACCES, QStringLiteral("Could not create the folder ") + folder);
    const QByteArray path = QFile::encodeName(outputPath);
    if (::unlink(path.constData()) != 0 && errno != ENOENT)
        throw fileError(QStringLiteral("Could not replace the file: "), errno);
    m_fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (m_fd < 0)
        throw fileError(QStringLiteral("Could not create the file: "), errno);

    shine_config_t config{};
    shine_set_config_mpeg_defaults(&config.mpeg);
    config.wave.channels = m_channels == 1 ? PCM_MONO : PCM_STEREO;
    config.wave.samplerate = sampleRate;
    config.mpeg.mode = m_channels == 1 ? MONO : STEREO;
    config.mpeg.bitr = bitrate;
    config.mpeg.emph = NONE;
    config.mpeg.copyright = 0;
    config.mpeg.original = 1;
    // shine leaves the check of its settings to the caller.
    const int version = shine_check_config(sampleRate, bitrate);
    if (version >= 0)
        m_shine = shine_initialise(&config);
    if (!m_shine) {
        ::close(m_fd);
        m_fd = -1;
        throw Error(QStringLiteral("MP3Encoder"), 1, QStringLiteral("Failed to initialize shine MP3 encoder."));
    }
    m_samplesPerPass = shine_samples_per_pass(m_shine);
    m_frameBytes = (version == MPEG_I ? 144 : 72) * bitrate * 1000 / sampleRate;
    m_pcmBuffer.reserve(static_cast<size_t>(m_samplesPerPass * m_channels));
}

MP3Encoder::~MP3Encoder()
{
    try {
        finishLocked();
    } catch (const Error&) {
        // Nobody is left to tell; the owner that cares calls finish() itself.
    }
    if (m_fd >= 0)
        ::close(m_fd);
}

void MP3Encoder::throwIfFailed() const
{
    if (m_writeError)
        throw *m_writeError;
}

void MP3Encoder::writeBytes(const unsigned char* data, int count)
{
    size_t remaining = count > 0 ? static_cast<size_t>(count) : 0;
    while (remaining > 0) {
        const ssize_t written = ::write(m_fd, data, remaining);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            m_writeError = fileError(QStringLiteral("Could not write the MP3 file: "), errno);
            cutToWholeFrames();
            throw *m_writeError;
        }
        trackFrames(data, static_cast<size_t>(written));
        data += written;
        remaining -= static_cast<size_t>(written);
    }
}

void MP3Encoder::trackFrames(const unsigned char* data, size_t count)
{
    // The first three header bytes give a frame's length: fixed for our
    // settings, plus the padding bit.
    while (m_framesTracked && m_nextFrameStart + static_cast<uint64_t>(m_headerFill) < m_bytesWritten + count) {
        size_t at = static_cast<size_t>(m_nextFrameStart + static_cast<uint64_t>(m_headerFill) - m_bytesWritten);
        while (m_headerFill < 3 && at < count)
            m_header[m_headerFill++] = data[at++];
        if (m_headerFill < 3)
            break;
        if (m_header[0] != 0xFF || (m_header[1] & 0xE0) != 0xE0) {
            m_framesTracked = false; // not a layout we know; leave the file as it is
            break;
        }
        m_frameInProgressStart = m_nextFrameStart;
        m_nextFrameStart += static_cast<uint64_t>(m_frameBytes) + ((m_header[2] >> 1) & 1);
        m_headerFill = 0;
    }
    m_bytesWritten += count;
}

void MP3Encoder::cutToWholeFrames()
{
    // A frame cut short by a full disk would be the file's last, broken one;
    // without it every frame before decodes. Shrinking needs no free space.
    if (!m_framesTracked)
        return;
    uint64_t end = m_bytesWritten;
    if (m_headerFill > 0)
        end = m_nextFrameStart;
    else if (m_bytesWritten < m_nextFrameStart)
        end = m_frameInProgressStart;
    if (end < m_bytesWritten && ::ftruncate(m_fd, static_cast<off_t>(end)) == 0) {
        m_bytesWritten = end;
        m_nextFrameStart = end;
        m_headerFill = 0;
    }
}

void MP3Encoder::completeLastFrame()
{
    // shine's flush leaves the last frame's final bits (under four bytes) in
    // its bit cache, and a decoder drops a frame shorter than its header says.
    // One bits stand in for them: they decode as zero values or are stuffing.
    if (!m_framesTracked || m_headerFill != 0 || m_bytesWritten >= m_nextFrameStart)
        return;
    const uint64_t missing = m_nextFrameStart - m_bytesWritten;
    if (missing > 4)
        return;
    const unsigned char ones[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    writeBytes(ones, static_cast<int>(missing));
}

void MP3Encoder::encodePass(int16_t* samples)
{
    int written = 0;
    unsigned char* data = shine_encode_buffer_interleaved(m_shine, samples, &written);
    if (data && written >= 1)
        writeBytes(data, written);
}

void MP3Encoder::encode(const int16_t* interleavedSamples, size_t count)
{
    std::lock_guard lock(m_lock);
    throwIfFailed();
    if (!m_shine)
        return;
    const size_t pass = static_cast<size_t>(m_samplesPerPass * m_channels);
    size_t offset = 0;
    // Only the pass begun by earlier calls goes through the buffer.
    if (!m_pcmBuffer.empty()) {
        offset = std::min(pass - m_pcmBuffer.size(), count);
        m_pcmBuffer.insert(m_pcmBuffer.end(), interleavedSamples, interleavedSamples + offset);
        if (m_pcmBuffer.size() < pass)
            return;
        encodePass(m_pcmBuffer.data());
        m_pcmBuffer.clear();
    }
    // Whole passes straight from the caller's samples.
    while (count - offset >= pass) {
        // shine reads but does not keep the pointer; it wants it non-const.
        encodePass(const_cast<int16_t*>(interleavedSamples + offset));
        offset += pass;
    }
    m_pcmBuffer.insert(m_pcmBuffer.end(), interleavedSamples + offset, interleavedSamples + count);
}

void MP3Encoder::finish()
{
    std::lock_guard lock(m_lock);
    finishLocked();
}

void MP3Encoder::finishLocked()
{
    if (!m_shine) {
        throwIfFailed();
        return;
    }
    // After a failed write the rest is not written, but the encoder and the
    // file are still released before the error is reported.
    if (!m_writeError) {
        try {
            const size_t pass = static_cast<size_t>(m_samplesPerPass * m_channels);
            if (!m_pcmBuffer.empty()) {
                m_pcmBuffer.resize(pass, 0);
                encodePass(m_pcmBuffer.data());
            }
            int written = 0;
            unsigned char* data = shine_flush(m_shine, &written);
            if (data && written >= 1)
                writeBytes(data, written);
            completeLastFrame();
        } catch (const Error&) {
            // Kept in m_writeError.
        }
    }
    m_pcmBuffer.clear();
    shine_close(m_shine);
    m_shine = nullptr;

    // A file that never reached the disk is not a saved recording.
    const int syncResult = ::fsync(m_fd);
    const int syncError = errno;
    const int closeResult = ::close(m_fd);
    const int closeError = errno;
    m_fd = -1;
    if (!m_writeError && syncResult != 0 && syncError != EINVAL && syncError != EROFS)
        m_writeError = fileError(QStringLiteral("Could not write the MP3 file: "), syncError);
    if (!m_writeError && closeResult != 0 && closeError != EINTR)
        m_writeError = fileError(QStringLiteral("Could not write the MP3 file: "), closeError);
    throwIfFailed();
}
