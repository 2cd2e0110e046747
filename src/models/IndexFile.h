#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <string_view>

// Reading the library index from disk and keeping damaged copies beside it.
// Only a regular file is read: the check comes before the open, and the open
// never waits (a FIFO or device in the index's place cannot stall the start).
// The file is mapped rather than copied: a large index costs no second copy,
// and the index is only ever replaced by a rename, never rewritten in place,
// so the mapped version stays whole while it is read.
class IndexFile {
public:
    IndexFile() = delete;

    enum class State {
        missing,    // nothing at the path: the first start
        read,       // `text` is the whole file
        unreadable, // something is there but cannot be read as a file; `problem` says why
    };
    struct Contents {
        State state = State::missing;
        // Followed by at least `padding` readable bytes; valid while `mapping` lives.
        std::string_view text;
        QString problem;
        std::shared_ptr<const void> mapping;
    };

    static Contents read(const QString& path, size_t padding);

    // Moves whatever is at `path` (a file, a FIFO, a folder) to a new
    // "<name>.corrupt-<UTC time>" beside it, never replacing an earlier copy.
    // Returns the new name, or empty when it could not be moved.
    static QString moveAside(const QString& path);
    // Writes `data` to a new "<name>.<kind>-<UTC time>" beside `path`;
    // returns its name, or empty when it could not be written.
    static QString writeAside(const QString& path, const QByteArray& data,
                              const QString& kind = QStringLiteral("corrupt"));
};
