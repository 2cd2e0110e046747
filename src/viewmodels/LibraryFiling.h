#pragma once

#include <QString>

class RecordingsStorage;

// Puts a finished file (a capture or an edit) into the library folder under
// its final name, never over an existing file: while the name is taken (by
// someone else since it was picked), the library's next free name for the
// title is tried, a few times at most.
namespace LibraryFiling {

struct Filed {
    QString fileName; // the name it got; empty on failure
    QString error;    // why it could not be moved

    bool succeeded() const { return !fileName.isEmpty(); }
};

Filed moveIntoLibrary(const RecordingsStorage& storage, const QString& from, const QString& title,
                      const QString& fileName);

} // namespace LibraryFiling
