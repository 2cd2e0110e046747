#include "platform/media/Mp3Decoder.h"

#include <QFile>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>

#include <mpg123.h>

namespace {

void initialiseLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

size_t bytesPerSample(Mp3Decoder::SampleFormat format)
{
    return format == Mp3Decoder::SampleFormat::Int16 ? 2 : 4;
}

// Large enough that reading an hour-long file takes a few thousand calls
// into the system instead of several hundred thousand.
constexpr size_t kReadBufferBytes = 64 * 1024;

mpg123_ssize_t readFile(void* handle, void* buffer, size_t bytes)
{
    auto* file = static_cast<std::FILE*>(handle);
    const size_t read = std::fread(buffer, 1, bytes, file);
    if (read == 0 && std::ferror(file))
        return -1;
    return static_cast<mpg123_ssize_t>(read);
}

off_t seekFile(void* handle, off_t offset, int whence)
{
    auto* file = static_cast<std::FILE*>(handle);
    if (fseeko(file, offset, whence) != 0)
        return -1;
    return ftello(file);
}

} // namespace

Mp3Decoder::Mp3Decoder()
{
    initialiseLibrary();
}

Mp3Decoder::~Mp3Decoder()
{
    close();
}

void Mp3Decoder::close()
{
    if (m_handle) {
        mpg123_close(m_handle);
        mpg123_delete(m_handle);
        m_handle = nullptr;
    }
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    m_rate = 0;
    m_channels = 0;
    m_length = -1;
}

bool Mp3Decoder::open(const QString& path, SampleFormat format, Channels channels)
{
    close();
    m_error.clear();
    m_format = format;
    int error = MPG123_OK;
    m_handle = mpg123_new(nullptr, &error);
    if (!m_handle) {
        m_error = QString::fromUtf8(mpg123_plain_strerror(error));
        return false;
    }
    long flags = MPG123_QUIET;
    if (channels == Channels::Mono)
        flags |= MPG123_MONO_MIX;
    else if (channels == Channels::Stereo)
        flags |= MPG123_FORCE_STEREO;
    mpg123_param(m_handle, MPG123_FLAGS, flags, 0);

    const int encoding = format == SampleFormat::Int16 ? MPG123_ENC_SIGNED_16 : MPG123_ENC_FLOAT_32;
    mpg123_format_none(m_handle);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    const int allowedChannels = channels == Channels::Mono     ? MPG123_MONO
                                : channels == Channels::Stereo ? MPG123_STEREO
                                                               : MPG123_MONO | MPG123_STEREO;
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(m_handle, rates[i], allowedChannels, encoding);

    m_file = std::fopen(QFile::encodeName(path).constData(), "rbe");
    if (!m_file) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        close();
        return false;
    }
    std::setvbuf(m_file, nullptr, _IOFBF, kReadBufferBytes);
    if (mpg123_replace_reader_handle(m_handle, readFile, seekFile, nullptr) != MPG123_OK
        || mpg123_open_handle(m_handle, m_file) != MPG123_OK) {
        m_error = QString::fromUtf8(mpg123_strerror(m_handle));
        close();
        return false;
    }
    long rate = 0;
    int channelCount = 0;
    int actualEncoding = 0;
    if (mpg123_getformat(m_handle, &rate, &channelCount, &actualEncoding) != MPG123_OK || rate <= 0
        || channelCount <= 0) {
        m_error = QStringLiteral("Not a readable MP3 file.");
        close();
        return false;
    }
    m_rate = static_cast<int>(rate);
    m_channels = channelCount;
    return true;
}

int64_t Mp3Decoder::lengthFrames()
{
    if (!m_handle)
        return -1;
    if (m_length < 0) {
        const off_t position = mpg123_tell(m_handle);
        if (mpg123_scan(m_handle) != MPG123_OK)
            return -1;
        m_length = mpg123_length(m_handle);
        if (position > 0)
            mpg123_seek(m_handle, position, SEEK_SET);
    }
    return m_length;
}

double Mp3Decoder::durationSeconds()
{
    const int64_t frames = lengthFrames();
    if (frames < 0 || m_rate <= 0)
        return std::numeric_limits<double>::quiet_NaN();
    return static_cast<double>(frames) / m_rate;
}

int64_t Mp3Decoder::read(void* buffer, int64_t maxFrames)
{
    if (!m_handle || maxFrames <= 0)
        return m_handle ? 0 : -1;
    const size_t frameBytes = bytesPerSample(m_format) * static_cast<size_t>(m_channels);
    auto* out = static_cast<unsigned char*>(buffer);
    size_t wanted = static_cast<size_t>(maxFrames) * frameBytes;
    size_t total = 0;
    while (total < wanted) {
        size_t done = 0;
        const int result = mpg123_read(m_handle, out + total, wanted - total, &done);
        total += done;
        if (result == MPG123_DONE)
            break;
        if (result == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channelCount = 0;
            int encoding = 0;
            mpg123_getformat(m_handle, &rate, &channelCount, &encoding);
            if (channelCount != m_channels || rate != m_rate) {
                // A format change in the middle of a file: stop at the change
                // rather than hand out samples in the wrong layout.
                break;
            }
            continue;
        }
        if (result != MPG123_OK) {
            if (total == 0) {
                m_error = QString::fromUtf8(mpg123_strerror(m_handle));
                return -1;
            }
            break;
        }
        if (done == 0)
            break;
    }
    return static_cast<int64_t>(total / frameBytes);
}

bool Mp3Decoder::seekToFrame(int64_t frame)
{
    if (!m_handle)
        return false;
    return mpg123_seek(m_handle, static_cast<off_t>(std::max<int64_t>(0, frame)), SEEK_SET) >= 0;
}

int64_t Mp3Decoder::positionFrames()
{
    return m_handle ? static_cast<int64_t>(mpg123_tell(m_handle)) : -1;
}

double Mp3Decoder::durationOf(const QString& path)
{
    Mp3Decoder decoder;
    if (!decoder.open(path))
        return std::numeric_limits<double>::quiet_NaN();
    return decoder.durationSeconds();
}
