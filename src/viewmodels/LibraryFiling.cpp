#include "viewmodels/LibraryFiling.h"

#include "common/FileUtils.h"
#include "models/RecordingsStorage.h"

#include <QDir>

namespace LibraryFiling {

namespace {

// A name that keeps being taken by someone else is given up after this many.
constexpr int maxNamingAttempts = 10;

} // namespace

Filed moveIntoLibrary(const RecordingsStorage& storage, const QString& from, const QString& title,
                      const QString& fileName)
{
    const QDir folder(storage.storageDirectory());
    QString name = fileName;
    for (int attempt = 1;; ++attempt) {
        const QString reason = FileUtils::moveWithoutReplacing(from, folder.filePath(name));
        if (reason.isEmpty())
            return {name, {}};
        if (!FileUtils::destinationExists(reason) || attempt == maxNamingAttempts)
            return {{}, reason};
        name = storage.newRecordingFileName(title);
    }
}

} // namespace LibraryFiling
