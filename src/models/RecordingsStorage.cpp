#include "models/RecordingsStorage.h"

#include "common/AppPaths.h"
#include "common/ConsoleLine.h"
#include "common/Error.h"
#include "common/FileUtils.h"
#include "common/Text.h"
#include "models/FileReveal.h"
#include "models/IndexCodec.h"
#include "models/IndexReading.h"
#include "models/IndexWriter.h"
#include "models/LibraryRepair.h"
#include "models/RecordingsFolder.h"
#include "models/RemovedRecords.h"
#include "models/UuidText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QSet>
#include <QStandardPaths>

namespace {

constexpr int kMaxTitleCharacters = 120;
// Linux allows 255 bytes per name; the cap leaves room for "_<seconds>",
// " (n)", "_enhanced" and ".mp3".
constexpr int kMaxTitleBytes = 200;

void say(const QString& line)
{
    ConsoleLine::print(QStringLiteral("[RecordingsStorage] ") + line);
}

// Qt's moveToTrash, where it cannot make the home trash, moves the file into
// "files" of the current folder and reports success; so it is asked only once
// the home trash is a folder (made here as Qt would make it).
bool homeTrashIsFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return false;
    const QString trash = QDir(data).filePath(QStringLiteral("Trash"));
    if (!QFileInfo(trash).isDir())
        QDir().mkdir(trash, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return QFileInfo(trash).isDir();
}

} // namespace

RecordingsStorage& RecordingsStorage::shared()
{
    static RecordingsStorage instance(AppPaths::applicationSupportFolder(), AppPaths::downloadsFolder());
    return instance;
}

RecordingsStorage::RecordingsStorage(const QString& applicationSupportFolder, const QString& downloadsFolder)
    : m_downloadsFolder(downloadsFolder)
{
    const QDir support(applicationSupportFolder);
    m_appFolder = support.filePath(QStringLiteral("Nimbrel"));
    const QString legacyFolder = support.filePath(QStringLiteral("CorvelleEnhanced"));
    const QFileInfo app(m_appFolder);
    if (!app.exists() && !app.isSymLink() && QFileInfo::exists(legacyFolder)) {
        support.mkpath(QStringLiteral("."));
        if (!QDir().rename(legacyFolder, m_appFolder))
            ConsoleLine::print(QStringLiteral("[RecordingsStorage] could not take over ") + legacyFolder);
    }
    m_storageDirectory = QDir(m_appFolder).filePath(QStringLiteral("Recordings"));
    m_metadataFile = QDir(m_appFolder).filePath(QStringLiteral("recordings.json"));
    QDir().mkpath(m_storageDirectory);
    m_writer = std::make_unique<IndexWriter>(m_metadataFile, [this](const QString& failure) {
        if (!failure.isEmpty())
            say(QStringLiteral("could not save the library index: ") + failure);
        Q_EMIT saveFinished(failure);
    });
}

RecordingsStorage::~RecordingsStorage()
{
    // Finishes a waiting save while this object can still report it.
    m_writer.reset();
}

QString RecordingsStorage::fileURL(const RecordingItem& item) const
{
    return QDir(m_storageDirectory).filePath(item.fileName);
}

std::optional<QString> RecordingsStorage::enhancedFileURL(const RecordingItem& item) const
{
    if (!item.enhancedFileName)
        return std::nullopt;
    const QString path = QDir(m_storageDirectory).filePath(*item.enhancedFileName);
    if (!QFileInfo::exists(path))
        return std::nullopt;
    return path;
}

QString RecordingsStorage::newEnhancedRecordingFileName(const RecordingItem& item)
{
    QString base = item.fileName;
    base.remove(QStringLiteral(".mp3"), Qt::CaseSensitive);
    return base + QStringLiteral("_enhanced.mp3");
}

RecordingsStorage::FileLocation RecordingsStorage::enhancedDestinationURL(const RecordingItem& item) const
{
    const QString name = newEnhancedRecordingFileName(item);
    return {QDir(m_storageDirectory).filePath(name), name};
}

QString RecordingsStorage::newRecordingFileName(const QString& title) const
{
    const qint64 seconds = QDateTime::currentSecsSinceEpoch();
    const QString stem = sanitizeFilename(title) + QLatin1Char('_') + QString::number(seconds);
    return FileUtils::freeFileName(m_storageDirectory, stem, QStringLiteral(".mp3"));
}

RecordingsStorage::FileLocation RecordingsStorage::newRecordingFileURL(const QString& title) const
{
    const QString name = newRecordingFileName(title);
    return {QDir(m_storageDirectory).filePath(name), name};
}

QString RecordingsStorage::newTempRecordingFileURL() const
{
    const QString name = QStringLiteral(".recording_") + UuidText::format(QUuid::createUuid()) + QStringLiteral(".tmp");
    {
        std::lock_guard lock(m_ownCapturesMutex);
        m_ownCaptures.insert(name);
    }
    return QDir(m_storageDirectory).filePath(name);
}

bool RecordingsStorage::isOwnCapture(const QString& name) const
{
    std::lock_guard lock(m_ownCapturesMutex);
    return m_ownCaptures.contains(name);
}

QString RecordingsStorage::sanitizeFilename(const QString& name)
{
    QString result = name;
    for (QChar& c : result) {
        switch (c.unicode()) {
        case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
            c = QLatin1Char('_');
            break;
        default:
            break;
        }
    }
    result = result.trimmed();
    return Text::leftCharacters(result, kMaxTitleCharacters, kMaxTitleBytes);
}

std::optional<QList<RecordingItem>> RecordingsStorage::decodeIndex(const QByteArray& data, QString* error)
{
    IndexCodec::Decoded decoded = IndexCodec::decode(data);
    if (decoded.damage || !decoded.rejected.isEmpty()) {
        if (error)
            *error = decoded.damage ? *decoded.damage : decoded.problems.first();
        return std::nullopt;
    }
    return std::move(decoded.records);
}

QByteArray RecordingsStorage::encodeIndex(const QList<RecordingItem>& recordings, bool* sanitised)
{
    return IndexCodec::encode(recordings, sanitised);
}

RecordingsStorage::Loaded RecordingsStorage::loadLibrary()
{
    IndexReading index = IndexReading::read(m_metadataFile);
    Loaded loaded;
    loaded.messages = index.messages;

    // Two records with one id would lose one of them at the next save; each
    // keeps its transcript and recap under an id of its own.
    QSet<QUuid> ids;
    for (RecordingItem& item : index.records) {
        if (ids.contains(item.id))
            item.id = QUuid::createUuid();
        ids.insert(item.id);
    }

    // A folder that cannot be read would make every recording look gone:
    // change nothing, on disk or in the index, and say why.
    QString folderProblem = RecordingsFolder::problem(m_storageDirectory);
    if (!folderProblem.isEmpty() && index.records.isEmpty() && QDir().mkpath(m_storageDirectory))
        folderProblem = RecordingsFolder::problem(m_storageDirectory);
    if (folderProblem.isEmpty() && RecordingsFolder::missesEveryRecording(m_storageDirectory, index.records))
        folderProblem = index.records.size() == 1
            ? QStringLiteral("the library's recording is not in it")
            : QStringLiteral("none of the library's %1 recordings is in it").arg(index.records.size());
    if (!folderProblem.isEmpty()) {
        say(QStringLiteral("the recordings folder %1 cannot be read (%2); the library is left as it is")
                .arg(m_storageDirectory, folderProblem));
        loaded.messages.prepend(QStringLiteral("The recordings folder cannot be read: ") + folderProblem);
        loaded.recordings = std::move(index.records);
        return loaded;
    }

    LibraryRepair repair(m_storageDirectory);
    repair.setCaptureInUse([this](const QString& name) { return isOwnCapture(name); });
    loaded.recordings = repair.repair(std::move(index.records));
    if (!index.mayReplace)
        return loaded;
    // The user's text of every record left out or changed goes to a side copy
    // before the index that lacks it is written.
    const RemovedRecords::Kept kept = RemovedRecords::keep(m_metadataFile, index.originals, repair.removedRecords());
    if (!kept.message.isEmpty())
        loaded.messages.append(kept.message);
    if (!kept.failed)
        save(loaded.recordings);
    return loaded;
}

QList<RecordingItem> RecordingsStorage::loadRecordings()
{
    Loaded loaded = loadLibrary();
    waitForSaves();
    return std::move(loaded.recordings);
}

void RecordingsStorage::save(const QList<RecordingItem>& recordings)
{
    m_writer->submit(recordings);
}

bool RecordingsStorage::waitForSaves(std::chrono::milliseconds limit)
{
    return m_writer->waitUntilWritten(limit);
}

bool RecordingsStorage::deleteItem(const RecordingItem& item, QList<RecordingItem>& recordings)
{
    bool trashed = discardFile(fileURL(item));
    if (item.enhancedFileName)
        trashed = discardFile(QDir(m_storageDirectory).filePath(*item.enhancedFileName)) || trashed;
    recordings.removeIf([&](const RecordingItem& other) {
        return other.id == item.id || other.fileName == item.fileName;
    });
    save(recordings);
    return trashed;
}

bool RecordingsStorage::discardFile(const QString& path)
{
    // A name that resolves to a folder (an empty one is the recordings folder
    // itself) is never a recording's file: the trash would take it whole.
    if (QFileInfo(path).isDir())
        return false;
    if (homeTrashIsFolder() && QFile::moveToTrash(path))
        return true;
    // No trash on this machine (or none for this file system): gone, as
    // before there was a trash.
    QFile::remove(path);
    return false;
}

QString RecordingsStorage::exportToDownloads(const RecordingItem& item, bool preferEnhanced)
{
    QString source = fileURL(item);
    QString suffix;
    if (preferEnhanced) {
        if (const auto enhanced = enhancedFileURL(item)) {
            source = *enhanced;
            suffix = QStringLiteral(" (Enhanced)");
        }
    }
    if (!QFileInfo::exists(source))
        throw Error(QStringLiteral("RecordingsStorage"), 404,
                    QStringLiteral("Source file not found at ") + source + QLatin1Char('.'));

    const QString title = sanitizeFilename(item.title);
    const QString base = title.isEmpty() ? QStringLiteral("Recording") : title + suffix;
    QDir().mkpath(m_downloadsFolder);
    // QFile::copy never replaces an existing file, so a name taken between the
    // check and the copy fails instead of overwriting; try the next one then.
    QString destination;
    for (int attempt = 0; attempt < 3; ++attempt) {
        destination = QDir(m_downloadsFolder)
                          .filePath(FileUtils::freeFileName(m_downloadsFolder, base, QStringLiteral(".mp3")));
        QFile sourceFile(source);
        if (sourceFile.copy(destination))
            break;
        if (!QFileInfo::exists(destination) || attempt == 2)
            throw Error(QStringLiteral("FileManager"), static_cast<int>(sourceFile.error()),
                        QStringLiteral("Could not copy the recording to Downloads: ") + sourceFile.errorString());
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [destination] { FileReveal::showItem(destination); },
        Qt::QueuedConnection);
    return destination;
}
