#include "models/LibraryRepair.h"

#include "common/ConsoleLine.h"
#include "common/FileUtils.h"
#include "common/ScratchFileName.h"
#include "models/FileReadCheck.h"
#include "models/OrphanName.h"
#include "models/UuidText.h"
#include "models/RecordingsStorage.h"
#include "platform/media/Mp3Decoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <sys/stat.h>

namespace {

constexpr qint64 kSmallestCapture = 16384;
constexpr double kShortestCapture = 1.0; // seconds; only longer ones are taken back
constexpr double kShortestRealRecording = 1.5;
constexpr qint64 kLargestRemovedDuplicate = 65536; // files below this size are removed
constexpr qint64 kSmallestOrphan = 8192;
constexpr double kShortestOrphan = 1.0;

const QString kRecoveredTitle = QStringLiteral("Recovered Recording");

// A name inside the folder; an index edited by hand could hold a path, which
// must never lead the repair to delete a file elsewhere.
bool isBareName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

QList<float> randomWaveform(int count, double low, double high)
{
    QRandomGenerator* random = QRandomGenerator::global();
    QList<float> samples;
    samples.reserve(count);
    for (int i = 0; i < count; ++i)
        samples.append(static_cast<float>(low + random->generateDouble() * (high - low)));
    return samples;
}

RecordingItem newRecord(const QString& title, const QString& fileName, const Date& createdAt, double duration,
                        qint64 size, QList<float> waveform)
{
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = title;
    item.fileName = fileName;
    item.createdAt = createdAt;
    item.duration = duration;
    item.fileSizeBytes = size;
    item.waveformSamples = std::move(waveform);
    return item;
}

void sayKeptUnlisted(const QString& name, const QString& why)
{
    ConsoleLine::print(QStringLiteral("[RecordingsStorage] ") + name + QStringLiteral(" cannot be read (") + why
                       + QStringLiteral("); the file is kept but not listed"));
}

// What one stat says of a file: its size, that it is gone, or nothing certain
// (no permission, a disk error). Only "gone" ever drops an entry.
struct FileState {
    enum Kind { present, gone, unknown };
    Kind kind = unknown;
    qint64 size = -1;
    bool regular = false;
};

FileState stateOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {errno == ENOENT ? FileState::gone : FileState::unknown};
    return {FileState::present, qint64(info.st_size), S_ISREG(info.st_mode)};
}

} // namespace

LibraryRepair::LibraryRepair(QString folder, DurationReader readDuration)
    : m_folder(std::move(folder))
    , m_readDuration(readDuration ? std::move(readDuration) : DurationReader(&Mp3Decoder::durationOf))
    , m_scratchCutoff(ScratchFileName::runStartedMSecs())
{
}

QList<RecordingItem> LibraryRepair::repair(QList<RecordingItem> indexed)
{
    m_keptUnlisted.clear();
    m_removed.clear();
    removeLeftoverScratch();
    takeBackCaptures(indexed);
    const QStringList candidates = adoptionCandidates();
    QList<RecordingItem> recordings = pruneShortDuplicates(onePerFileName(checkFiles(indexed)));
    adoptOrphans(candidates, recordings);
    std::stable_sort(recordings.begin(), recordings.end(),
                     [](const RecordingItem& a, const RecordingItem& b) { return a.createdAt > b.createdAt; });
    return recordings;
}

QStringList LibraryRepair::listFolder() const
{
    // Sorted by name so that repeated loads treat files in the same order.
    return QDir(m_folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QString LibraryRepair::pathOf(const QString& name) const
{
    return QDir(m_folder).filePath(name);
}

void LibraryRepair::removeLeftoverScratch()
{
    for (const QString& name : listFolder()) {
        if (!ScratchFileName::isScratch(name))
            continue;
        const QString path = pathOf(name);
        struct stat info {};
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        // One written since this run started is an edit of this run, still going.
        const qint64 modified = qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
        if (modified < m_scratchCutoff)
            QFile::remove(path);
    }
}

QString LibraryRepair::moveToRecoveredName(const QString& captureName) const
{
    // Eight hex digits can collide with an earlier take-back; never replace it.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString name = QStringLiteral("Recovered_") + UuidText::format(QUuid::createUuid()).left(8)
            + QStringLiteral(".mp3");
        const QString reason = FileUtils::moveWithoutReplacing(pathOf(captureName), pathOf(name));
        if (reason.isEmpty())
            return name;
        if (!FileUtils::destinationExists(reason))
            return {};
    }
    return {};
}

LibraryRepair::AudioLength LibraryRepair::audioLength(const QString& path) const
{
    if (const QString why = FileReadCheck::problem(path); !why.isEmpty())
        return {AudioLength::unreadable, 0, why};
    const double seconds = m_readDuration(path);
    // JSON cannot hold an endless length, and removing the file could lose a recording.
    if (std::isinf(seconds))
        return {AudioLength::unreadable, 0, QStringLiteral("its length reads as endless")};
    if (std::isnan(seconds)) {
        // Not audio only when every byte was read: a read error is no verdict.
        if (const QString why = FileReadCheck::problem(path, FileReadCheck::Extent::wholeFile); !why.isEmpty())
            return {AudioLength::unreadable, 0, why};
        return {AudioLength::notAudio, 0, {}};
    }
    return {AudioLength::readable, seconds, {}};
}

void LibraryRepair::keepUnlisted(const QString& name, const QString& why)
{
    if (m_keptUnlisted.contains(name))
        return;
    m_keptUnlisted.insert(name);
    sayKeptUnlisted(name, why);
}

void LibraryRepair::takeBackCaptures(QList<RecordingItem>& list)
{
    for (const QString& name : listFolder()) {
        if (!name.startsWith(QLatin1String(".recording_")) || !name.endsWith(QLatin1String(".tmp")))
            continue;
        // Asked after the listing: a capture is marked in use before its file exists.
        if (m_captureInUse && m_captureInUse(name))
            continue;
        const FileState state = stateOf(pathOf(name));
        if (state.kind != FileState::present || !state.regular)
            continue; // gone meanwhile, or nothing we may judge
        if (state.size < kSmallestCapture) {
            QFile::remove(pathOf(name));
            continue;
        }
        const QString recovered = moveToRecoveredName(name);
        if (recovered.isEmpty())
            continue; // stays a capture file for the next start
        const AudioLength length = audioLength(pathOf(recovered));
        if (length.kind == AudioLength::unreadable) {
            keepUnlisted(recovered, length.problem);
            continue;
        }
        // Too short, or read and found not audio: the adoption below removes it.
        if (length.kind == AudioLength::notAudio || !(length.seconds > kShortestCapture))
            continue;
        list.append(newRecord(kRecoveredTitle, recovered, Date::now(), length.seconds, state.size,
                              randomWaveform(120, 0.2, 0.6)));
    }
}

QStringList LibraryRepair::adoptionCandidates() const
{
    QStringList candidates;
    for (const QString& name : listFolder()) {
        if (name.endsWith(QLatin1String(".mp3")) && !name.startsWith(QLatin1Char('.'))
            && !name.endsWith(QLatin1String(".tmp")) && !name.endsWith(QLatin1String("_enhanced.mp3")))
            candidates.append(name);
    }
    return candidates;
}

QList<RecordingItem> LibraryRepair::checkFiles(const QList<RecordingItem>& list)
{
    QList<RecordingItem> kept;
    kept.reserve(list.size());
    for (const RecordingItem& indexed : list) {
        RecordingItem item = indexed;
        if (item.enhancedFileName) {
            if (!isBareName(*item.enhancedFileName)
                || stateOf(pathOf(*item.enhancedFileName)).kind == FileState::gone)
                item.enhancedFileName.reset();
        } else {
            const QString enhanced = RecordingsStorage::newEnhancedRecordingFileName(item);
            if (isBareName(enhanced) && stateOf(pathOf(enhanced)).kind == FileState::present)
                item.enhancedFileName = enhanced;
        }
        if (!isBareName(item.fileName)) {
            m_removed.append(indexed);
            continue;
        }
        const FileState state = stateOf(pathOf(item.fileName));
        // Only a file that is really gone, empty or no recording (a FIFO, a
        // device, a folder) drops its entry; one that cannot be examined (a
        // permission, a disk error) keeps it as it was.
        if (state.kind == FileState::gone
            || (state.kind == FileState::present && (state.size <= 0 || !state.regular))) {
            m_removed.append(indexed);
            continue;
        }
        if (state.kind == FileState::present)
            item.fileSizeBytes = state.size;
        kept.append(std::move(item));
    }
    return kept;
}

QList<RecordingItem> LibraryRepair::onePerFileName(const QList<RecordingItem>& list)
{
    QList<RecordingItem> kept;
    QHash<QString, qsizetype> indexOfName;
    for (const RecordingItem& item : list) {
        const auto found = indexOfName.constFind(item.fileName);
        if (found == indexOfName.constEnd()) {
            indexOfName.insert(item.fileName, kept.size());
            kept.append(item);
            continue;
        }
        RecordingItem& held = kept[*found];
        // A longer newcomer wins even over a held transcript.
        if ((item.transcript && !held.transcript) || held.duration < item.duration) {
            m_removed.append(held);
            held = item;
        } else {
            m_removed.append(item);
        }
    }
    return kept;
}

QList<RecordingItem> LibraryRepair::pruneShortDuplicates(const QList<RecordingItem>& list)
{
    QStringList titles; // in order of first appearance
    QHash<QString, QList<RecordingItem>> groups;
    for (const RecordingItem& item : list) {
        auto& group = groups[item.title];
        if (group.isEmpty())
            titles.append(item.title);
        group.append(item);
    }

    QList<RecordingItem> kept;
    kept.reserve(list.size());
    for (const QString& title : titles) {
        const QList<RecordingItem>& group = groups[title];
        const bool hasRealRecording = std::any_of(group.begin(), group.end(), [](const RecordingItem& item) {
            return item.duration > kShortestRealRecording;
        });
        if (hasRealRecording) {
            for (const RecordingItem& item : group) {
                if (item.duration > kShortestRealRecording) {
                    kept.append(item);
                    continue;
                }
                // A short leftover beside a real recording of the same title; a
                // large file may be more than its entry says and is left alone.
                m_removed.append(item);
                const qint64 size = FileUtils::fileSize(pathOf(item.fileName));
                if (size >= 0 && size < kLargestRemovedDuplicate)
                    QFile::remove(pathOf(item.fileName));
            }
        } else {
            const RecordingItem* longest = &group.first();
            for (const RecordingItem& item : group) {
                if (item.duration > longest->duration)
                    longest = &item;
            }
            kept.append(*longest);
            for (const RecordingItem& item : group) {
                if (&item != longest)
                    m_removed.append(item);
            }
        }
    }
    return kept;
}

Date LibraryRepair::creationDate(const QString& path) const
{
    const QFileInfo info(path);
    // Not every Linux file system records a birth time; the last change of a
    // recording's file is the nearest stand-in.
    const QDateTime born = info.birthTime();
    if (born.isValid())
        return Date::fromDateTime(born);
    const QDateTime modified = info.lastModified();
    return modified.isValid() ? Date::fromDateTime(modified) : Date::now();
}

void LibraryRepair::adoptOrphans(const QStringList& candidates, QList<RecordingItem>& list)
{
    QSet<QString> listedNames;
    QSet<QString> titles;
    for (const RecordingItem& item : list) {
        listedNames.insert(item.fileName);
        titles.insert(item.title);
    }
    for (const QString& name : candidates) {
        if (listedNames.contains(name) || m_keptUnlisted.contains(name))
            continue;
        const QString path = pathOf(name);
        const FileState state = stateOf(path);
        if (state.kind == FileState::unknown)
            keepUnlisted(name, QStringLiteral("its size cannot be read"));
        if (state.kind != FileState::present || !state.regular)
            continue;
        if (state.size < kSmallestOrphan) {
            QFile::remove(path);
            continue;
        }
        const AudioLength length = audioLength(path);
        if (length.kind == AudioLength::unreadable) {
            keepUnlisted(name, length.problem);
            continue;
        }
        // Read through and found not audio, or too short to be a recording.
        if (length.kind == AudioLength::notAudio || !(length.seconds > kShortestOrphan)) {
            QFile::remove(path);
            continue;
        }
        const double duration = length.seconds;
        const qint64 size = state.size;
        const OrphanName parsed = OrphanName::parse(name);
        QString title = parsed.title;
        for (int counter = 1; titles.contains(title); ++counter)
            title = parsed.title + QStringLiteral(" (%1)").arg(counter);
        const Date createdAt = parsed.timeStamp ? *parsed.timeStamp : creationDate(path);
        list.append(newRecord(title, name, createdAt, duration, size, randomWaveform(80, 0.15, 0.7)));
        listedNames.insert(name);
        titles.insert(title);
    }
}
