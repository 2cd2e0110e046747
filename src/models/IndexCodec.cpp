#include "models/IndexCodec.h"

#include "models/IndexSplitter.h"
#include "models/RecordDecoder.h"

#include <algorithm>
#include <thread>
#include <vector>

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

// One record's decoding: the item, or why there is none.
struct Outcome {
    std::optional<RecordingItem> item;
    QString problem;
    bool mended = false;
};

void decodeRange(const std::vector<std::string_view>& elements, std::vector<Outcome>& outcomes, size_t begin,
                 size_t end)
{
    RecordDecoder decoder;
    for (size_t i = begin; i < end; ++i)
        outcomes[i].item = decoder.decode(elements[i], outcomes[i].problem, &outcomes[i].mended);
}

// A large library (thousands of records with their transcripts) decodes in
// contiguous runs of records on several cores; a small one on the caller's
// thread alone. Either way the outcomes stand in file order.
void decodeAll(const std::vector<std::string_view>& elements, std::vector<Outcome>& outcomes)
{
    constexpr size_t kBytesPerThread = 2 << 20;
    size_t bytes = 0;
    for (const std::string_view element : elements)
        bytes += element.size();
    const size_t cores = std::max<size_t>(1, std::thread::hardware_concurrency());
    const size_t threads = std::min({cores, size_t(8), std::max<size_t>(1, bytes / kBytesPerThread), elements.size()});
    if (threads <= 1) {
        decodeRange(elements, outcomes, 0, elements.size());
        return;
    }
    // Runs of about equal bytes, so one run of long transcripts does not hold up the rest.
    std::vector<size_t> cuts{0};
    size_t running = 0;
    for (size_t i = 0; i < elements.size() && cuts.size() < threads; ++i) {
        running += elements[i].size();
        if (running * threads >= bytes * cuts.size())
            cuts.push_back(i + 1);
    }
    if (cuts.back() != elements.size())
        cuts.push_back(elements.size());
    std::vector<std::jthread> helpers;
    for (size_t run = 1; run + 1 < cuts.size(); ++run)
        helpers.emplace_back([&, run] { decodeRange(elements, outcomes, cuts[run], cuts[run + 1]); });
    decodeRange(elements, outcomes, cuts[0], cuts[1]);
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
    IndexSplitter splitter(text.data(), text.size());
    std::vector<std::string_view> elements;
    while (const auto element = splitter.next())
        elements.push_back(*element);
    if (!splitter.damage().isEmpty())
        decoded.damage = splitter.damage();

    std::vector<Outcome> outcomes(elements.size());
    decodeAll(elements, outcomes);
    decoded.records.reserve(qsizetype(elements.size()));
    for (size_t i = 0; i < elements.size(); ++i) {
        if (outcomes[i].item) {
            decoded.records.append(std::move(*outcomes[i].item));
            if (outcomes[i].mended)
                decoded.mended.append(QByteArray(elements[i].data(), qsizetype(elements[i].size())));
        } else {
            decoded.rejected.append(QByteArray(elements[i].data(), qsizetype(elements[i].size())));
            decoded.problems.append(outcomes[i].problem);
        }
    }
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

std::optional<RecordingItem> decodeRecord(const QByteArray& text, QString* problem, bool* mended)
{
    QByteArray padded = text;
    if (padded.capacity() - padded.size() < qsizetype(padding()))
        padded.reserve(padded.size() + qsizetype(padding()));
    QString why;
    auto item = RecordDecoder().decode(std::string_view(padded.constData(), size_t(padded.size())), why, mended);
    if (!item && problem)
        *problem = why;
    return item;
}

} // namespace IndexCodec
