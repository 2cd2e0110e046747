#include "models/RecordingsStorage.h"

#include "common/AppPaths.h"
#include "common/Error.h"
#include "common/FileUtils.h"
#include "models/JsonFields.h"
#include "models/LibraryRepair.h"
#include "platform/dbus/FileManagerReveal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaObject>
#include <QSaveFile>
#include <QSet>
#include <QTextBoundaryFinder>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kMaxTitleCharacters = 120;
// Linux allows 255 bytes per name; the cap leaves room for "_<seconds>",
// " (n)", "_enhanced" and ".mp3".
constexpr int kMaxTitleBytes = 200;

// The first `count` user-perceived characters of `text`.
QString leftGraphemes(const QString& text, int count, int maxUtf8Bytes)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int kept = 0;
    int graphemes = 0;
    int bytes = 0;
    int previous = 0;
    for (int next = finder.toNextBoundary(); next != -1; next = finder.toNextBoundary()) {
        const int clusterBytes = QStringView(text).mid(previous, next - previous).toUtf8().size();
        if (graphemes == count || bytes + clusterBytes > maxUtf8Bytes)
            break;
        bytes += clusterBytes;
        ++graphemes;
        kept = next;
        previous = next;
    }
    return text.left(kept);
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
            std::printf("[RecordingsStorage] could not take over %s\n", qPrintable(legacyFolder));
    }
    m_storageDirectory = QDir(m_appFolder).filePath(QStringLiteral("Recordings"));
    m_metadataFile = QDir(m_appFolder).filePath(QStringLiteral("recordings.json"));
    QDir().mkpath(m_storageDirectory);
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
    return QDir(m_storageDirectory)
        .filePath(QStringLiteral(".recording_") + JsonFields::uuidText(QUuid::createUuid()) + QStringLiteral(".tmp"));
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
    return leftGraphemes(result, kMaxTitleCharacters, kMaxTitleBytes);
}

std::optional<QList<RecordingItem>> RecordingsStorage::decodeIndex(const QByteArray& data, QString* error)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        if (error)
            *error = parseError.errorString();
        return std::nullopt;
    }
    if (!document.isArray()) {
        if (error)
            *error = QStringLiteral("the index is not a JSON array");
        return std::nullopt;
    }
    const QJsonArray array = document.array();
    QList<RecordingItem> items;
    items.reserve(array.size());
    for (const QJsonValue& value : array) {
        auto item = RecordingItem::fromJson(value, error);
        if (!item)
            return std::nullopt;
        items.append(std::move(*item));
    }
    return items;
}

QByteArray RecordingsStorage::encodeIndex(const QList<RecordingItem>& recordings, bool* sanitised)
{
    QJsonArray array;
    for (const RecordingItem& item : recordings)
        array.append(item.toJson(sanitised));
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QList<RecordingItem> RecordingsStorage::loadRecordings()
{
    bool mayReplaceIndex = true;
    QList<RecordingItem> recordings = LibraryRepair(m_storageDirectory).repair(readIndex(mayReplaceIndex));
    if (mayReplaceIndex)
        save(recordings);
    return recordings;
}

QList<RecordingItem> RecordingsStorage::readIndex(bool& mayReplace) const
{
    QFile file(m_metadataFile);
    if (!file.exists())
        return {}; // the first start
    QString problem;
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray data = file.readAll();
        if (file.error() == QFileDevice::NoError) {
            if (auto decoded = decodeIndex(data, &problem))
                return std::move(*decoded);
        } else {
            problem = file.errorString();
        }
    } else {
        problem = file.errorString();
    }
    file.close();

    // The rebuilt list lacks the transcripts, recaps and types the index held:
    // keep the index beside the new one rather than overwrite it.
    const QString aside = setAsideIndex();
    if (aside.isEmpty()) {
        mayReplace = false;
        std::printf("[RecordingsStorage] the library index could not be read (%s) nor moved aside; "
                    "it is left in place\n",
                    qPrintable(problem));
    } else {
        std::printf("[RecordingsStorage] the library index could not be read (%s); it was moved to %s "
                    "and the library was rebuilt from the recordings folder\n",
                    qPrintable(problem), qPrintable(aside));
    }
    std::fflush(stdout);
    return {};
}

QString RecordingsStorage::setAsideIndex() const
{
    // A time that sorts and is a valid file name on every file system.
    const QString stem = QFileInfo(m_metadataFile).fileName() + QStringLiteral(".corrupt-")
        + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd'T'HH-mm-ss'Z'"));
    const QString folder = QFileInfo(m_metadataFile).absolutePath();
    // Never replace an earlier copy, even one that appears between the check and the move.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString name = FileUtils::freeFileName(folder, stem, QString());
        const QString reason = FileUtils::moveWithoutReplacing(m_metadataFile, QDir(folder).filePath(name));
        if (reason.isEmpty())
            return name;
        if (!FileUtils::destinationExists(reason))
            return {};
    }
    return {};
}

void RecordingsStorage::save(const QList<RecordingItem>& recordings)
{
    QSet<QUuid> ids;
    QSet<QString> fileNames;
    QList<RecordingItem> kept;
    kept.reserve(recordings.size());
    for (const RecordingItem& item : recordings) {
        if (ids.contains(item.id) || fileNames.contains(item.fileName))
            continue;
        ids.insert(item.id);
        fileNames.insert(item.fileName);
        kept.append(item);
    }
    bool sanitised = false;
    const QByteArray data = encodeIndex(kept, &sanitised);
    if (sanitised)
        std::printf("[RecordingsStorage] numbers that are not finite were saved as 0\n");

    QSaveFile file(m_metadataFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.flush()
        || ::fsync(file.handle()) != 0 || !file.commit()) {
        std::printf("[RecordingsStorage] could not save the library index: %s\n", qPrintable(file.errorString()));
        file.cancelWriting();
    }
}

void RecordingsStorage::deleteItem(const RecordingItem& item, QList<RecordingItem>& recordings)
{
    QFile::remove(fileURL(item));
    if (item.enhancedFileName)
        QFile::remove(QDir(m_storageDirectory).filePath(*item.enhancedFileName));
    recordings.removeIf([&](const RecordingItem& other) {
        return other.id == item.id || other.fileName == item.fileName;
    });
    save(recordings);
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
        QCoreApplication::instance(), [destination] { FileManagerReveal::showItem(destination); },
        Qt::QueuedConnection);
    return destination;
}
