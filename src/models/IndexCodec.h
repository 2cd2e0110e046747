#pragma once

#include "models/JsonTextWriter.h"
#include "models/RecordingItem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <string_view>

// The text of the library index, "recordings.json": a compact JSON array of
// records, keys in field order (a segment's as "id", "start", "end", "text"),
// dates as seconds since 2001, optionals left out when absent.
namespace IndexCodec {

struct Decoded {
    // Every record that decoded, in file order.
    QList<RecordingItem> records;
    // The text of each record that did not, exactly as it stood in the file,
    // and why, in the same order.
    QList<QByteArray> rejected;
    QStringList problems;
    // The text of each record that loaded only mended (see RecordDecoder), or
    // with its title cut, exactly as it stood in the file.
    QList<QByteArray> mended;
    // Set when the text is not one whole JSON array; `records` then holds
    // those before the damage and the file as a whole needs setting aside.
    std::optional<QString> damage;
};

// Bytes that must be readable (of any value) after the text given to `decode`.
size_t padding();

// Record by record: one bad record never stops the others.
Decoded decode(std::string_view text);
// The same for text without the padding; pads a copy when it has to.
Decoded decode(QByteArray text);

// Streams the index into `sink` in chunks; false when the sink refused one.
// Numbers JSON cannot hold are written as 0 and set `sanitised`.
bool encode(const QList<RecordingItem>& recordings, const JsonTextWriter::Sink& sink, bool* sanitised = nullptr);
QByteArray encode(const QList<RecordingItem>& recordings, bool* sanitised = nullptr);

// One record alone, in the form it has inside the index.
QByteArray encodeRecord(const RecordingItem& item, bool* sanitised = nullptr);
std::optional<RecordingItem> decodeRecord(const QByteArray& text, QString* problem = nullptr,
                                         bool* mended = nullptr);

} // namespace IndexCodec
