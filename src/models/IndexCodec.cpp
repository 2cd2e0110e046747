#include "models/IndexCodec.h"

#include "models/IndexSplitter.h"
#include "models/RecordDecoder.h"

namespace {

void writeRecord(JsonTextWriter& out, const RecordingItem& item)
{
    out.raw("{\"id\":");
    out.uuid(item.id);
    out.raw(",\"title\":");
    out.string(item.title);
    out.raw(",\"fileName\":");
    out.string(item.fileName);
    out.raw(",\"createdAt\":");
    out.number(item.createdAt.referenceSeconds());
    out.raw(",\"duration\":");
    out.number(item.duration);
    out.raw(",\"fileSizeBytes\":");
    out.integer(item.fileSizeBytes);
    out.raw(",\"waveformSamples\":[");
    for (qsizetype i = 0; i < item.waveformSamples.size(); ++i) {
        if (i)
            out.raw(',');
        out.number(item.waveformSamples[i]);
    }
    out.raw(']');
    if (item.transcript) {
        out.raw(",\"transcript\":");
        out.string(*item.transcript);
    }
    if (item.transcriptSegments) {
        out.raw(",\"transcriptSegments\":[");
        bool first = true;
        for (const TranscriptSegment& segment : *item.transcriptSegments) {
            out.raw(first ? "{\"id\":" : ",{\"id\":");
            first = false;
            out.uuid(segment.id);
            out.raw(",\"start\":");
            out.number(segment.start);
            out.raw(",\"end\":");
            out.number(segment.end);
            out.raw(",\"text\":");
            out.string(segment.text);
            out.raw('}');
        }
        out.raw(']');
    }
    if (item.enhancedFileName) {
        out.raw(",\"enhancedFileName\":");
        out.string(*item.enhancedFileName);
    }
    if (item.summary) {
        out.raw(",\"summary\":");
        out.string(*item.summary);
    }
    if (item.summaryCreatedAt) {
        out.raw(",\"summaryCreatedAt\":");
        out.number(item.summaryCreatedAt->referenceSeconds());
    }
    if (item.recordingType) {
        out.raw(",\"recordingType\":");
        out.string(RecordingTypes::rawValue(*item.recordingType));
    }
    out.raw('}');
}

JsonTextWriter::Sink appendTo(QByteArray& text)
{
    return [&text](const char* data, size_t size) {
        text.append(data, qsizetype(size));
        return true;
    };
}

} // namespace

namespace IndexCodec {

size_t padding()
{
    return RecordDecoder::padding();
}

Decoded decode(std::string_view text)
{
    Decoded decoded;
    RecordDecoder decoder;
    IndexSplitter splitter(text.data(), text.size());
    while (const auto element = splitter.next()) {
        QString problem;
        if (auto item = decoder.decode(*element, problem)) {
            decoded.records.append(std::move(*item));
        } else {
            decoded.rejected.append(QByteArray(element->data(), qsizetype(element->size())));
            decoded.problems.append(problem);
        }
    }
    if (!splitter.damage().isEmpty())
        decoded.damage = splitter.damage();
    return decoded;
}

Decoded decode(QByteArray text)
{
    const qsizetype size = text.size();
    // Bytes within the allocation are readable, whatever they hold.
    if (text.capacity() - size < qsizetype(padding()))
        text.reserve(size + qsizetype(padding()));
    return decode(std::string_view(text.constData(), size_t(size)));
}

bool encode(const QList<RecordingItem>& recordings, const JsonTextWriter::Sink& sink, bool* sanitised)
{
    JsonTextWriter out(sink);
    out.raw('[');
    for (qsizetype i = 0; i < recordings.size(); ++i) {
        if (i)
            out.raw(',');
        writeRecord(out, recordings[i]);
        out.flushIfFull();
    }
    out.raw(']');
    const bool written = out.flush();
    if (sanitised && out.sanitised())
        *sanitised = true;
    return written;
}

QByteArray encode(const QList<RecordingItem>& recordings, bool* sanitised)
{
    QByteArray text;
    encode(recordings, appendTo(text), sanitised);
    return text;
}

QByteArray encodeRecord(const RecordingItem& item, bool* sanitised)
{
    QByteArray text;
    JsonTextWriter out(appendTo(text));
    writeRecord(out, item);
    out.flush();
    if (sanitised && out.sanitised())
        *sanitised = true;
    return text;
}

std::optional<RecordingItem> decodeRecord(const QByteArray& text, QString* problem)
{
    QByteArray padded = text;
    if (padded.capacity() - padded.size() < qsizetype(padding()))
        padded.reserve(padded.size() + qsizetype(padding()));
    QString why;
    auto item = RecordDecoder().decode(std::string_view(padded.constData(), size_t(padded.size())), why);
    if (!item && problem)
        *problem = why;
    return item;
}

} // namespace IndexCodec
