// Selection and what the player plays, renaming, deleting, exporting and
// searching the library, and leaving the merge and trim modes.

#include "viewmodels/RecordingViewModel.h"

#include "common/Error.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/LibraryLoader.h"
#include "viewmodels/collaborators/FocusService.h"
#include "viewmodels/FutureOutcome.h"
#include "viewmodels/collaborators/PlayerService.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>
#include <QTimer>

#include <algorithm>
#include <utility>

void RecordingViewModel::setRecordings(const QList<RecordingItem>& recordings)
{
    m_recordings = recordings;
    Q_EMIT recordingsChanged();
    Q_EMIT filteredRecordingsChanged();
}

void RecordingViewModel::loadLibrary(std::function<void()> beforeLoad)
{
    // Writes finish on the storage's thread and are reported here, queued.
    connect(m_storage, &RecordingsStorage::saveFinished, this, &RecordingViewModel::libraryWriteFinished,
            Qt::UniqueConnection);
    m_libraryLoader = std::make_unique<LibraryLoader>(
        [storage = m_storage, beforeLoad = std::move(beforeLoad)] {
            if (beforeLoad)
                beforeLoad();
            return storage->loadLibrary();
        },
        this, [this](RecordingsStorage::Loaded loaded) {
            applyLoadedLibrary(std::move(loaded.recordings), loaded.messages);
        });
    // On the first turn of the event loop: the window is shown before the
    // load takes the cores and the memory bus it would be built with.
    QTimer::singleShot(0, this, [this] { m_libraryLoader->start(); });
}

void RecordingViewModel::applyLoadedLibrary(QList<RecordingItem> loaded, const QStringList& messages)
{
    // Until now the list was empty and no operation could reach an entry.
    m_isLibraryLoaded = true;
    setRecordings(loaded);
    // What the load could not read, or left alone, is said once.
    if (!messages.isEmpty())
        showStatus(messages.join(QStringLiteral(". ")));
    // Recordings stopped meanwhile are filed now, each selecting itself.
    const QList<std::function<void()>> waiting = std::exchange(m_afterLibraryLoad, {});
    for (const std::function<void()>& work : waiting)
        work();
    prepareSearch();
    // The newest recording, unless a recording is under way or was just filed.
    if (!m_selectedRecording && m_recorderState == RecorderState::idle && !m_recordings.isEmpty())
        setSelectedRecording(m_recordings.first());
    Q_EMIT libraryLoaded();
    // On a later turn, so the list is painted before the pass takes the disk.
    QTimer::singleShot(0, this, &RecordingViewModel::checkAndRepairRecordings);
}

bool RecordingViewModel::awaitLibrary(std::chrono::milliseconds limit)
{
    return m_isLibraryLoaded || (m_libraryLoader && m_libraryLoader->finishWithin(limit));
}

void RecordingViewModel::whenLibraryLoaded(std::function<void()> work)
{
    if (m_isLibraryLoaded)
        work();
    else
        m_afterLibraryLoad.append(std::move(work));
}

void RecordingViewModel::saveLibrary()
{
    // Before the load the list is not the library: saving it would replace
    // the index with nothing.
    if (m_isLibraryLoaded)
        m_storage->save(m_recordings);
}

void RecordingViewModel::libraryWriteFinished(const QString& failure)
{
    if (failure.isEmpty()) {
        m_libraryWriteFailing = false;
        return;
    }
    // The library stays as it is in memory; the next change tries again.
    if (!m_libraryWriteFailing)
        showStatus(QStringLiteral("Could not save the library: ") + failure);
    m_libraryWriteFailing = true;
}

bool RecordingViewModel::waitForLibrarySaves(std::chrono::milliseconds limit)
{
    QElapsedTimer clock;
    clock.start();
    // The event loop may not turn again: take the load here, filing what
    // waits for it. Not loaded in time, the captures stay for the next start.
    if (!awaitLibrary(limit))
        return false;
    const auto left = std::max(limit - std::chrono::milliseconds(clock.elapsed()), std::chrono::milliseconds(0));
    // A library whose last write failed gets one more try before the app
    // goes: the folder may be writable again by now.
    if (m_libraryWriteFailing)
        saveLibrary();
    return m_storage->waitForSaves(left);
}

std::optional<RecordingItem> RecordingViewModel::libraryItem(const QUuid& id) const
{
    for (const RecordingItem& item : m_recordings)
        if (item.id == id)
            return item;
    return std::nullopt;
}

bool RecordingViewModel::updateLibraryItem(const QUuid& id, const std::function<void(RecordingItem&)>& change,
                                           const std::function<void()>& afterSelection)
{
    const auto found = std::find_if(m_recordings.begin(), m_recordings.end(),
                                    [&](const RecordingItem& item) { return item.id == id; });
    if (found == m_recordings.end())
        return false;
    change(*found);
    const RecordingItem updated = *found;
    Q_EMIT recordingsChanged();
    Q_EMIT filteredRecordingsChanged();
    if (m_selectedRecording && m_selectedRecording->id == id) {
        assignSelection(updated, SelectionBy::libraryUpdate);
        if (afterSelection)
            afterSelection();
    }
    saveLibrary();
    return true;
}

// --- Selection ---

void RecordingViewModel::setSelectedRecording(const std::optional<RecordingItem>& recording)
{
    assignSelection(recording, SelectionBy::user);
}

void RecordingViewModel::assignSelection(const std::optional<RecordingItem>& recording, SelectionBy by)
{
    assign(m_selectedRecording, recording, &RecordingViewModel::selectedRecordingChanged);
    // Runs for every assignment, also of the same recording.
    selectionChanged(false, by);
}

void RecordingViewModel::selectionChanged(bool alwaysReload, SelectionBy by)
{
    if (!m_selectedRecording) {
        m_playerManager->stop();
        setIsPlayingEnhanced(false);
        return;
    }
    if (m_isPlayingEnhanced && !m_storage->enhancedFileURL(*m_selectedRecording))
        setIsPlayingEnhanced(false);
    const QString file = playbackFile(*m_selectedRecording);
    if (alwaysReload || m_playerManager->currentLoadedURL() != file)
        m_playerManager->load(file);
    if (by == SelectionBy::libraryUpdate)
        return;
    setIsSearchFocused(false);
    scheduleFocusRelease();
}

void RecordingViewModel::selectRecording(const RecordingItem& item)
{
    assign(m_selectedRecording, std::optional<RecordingItem>(item), &RecordingViewModel::selectedRecordingChanged);
    // Always reloaded, once: a selection starts stopped, at 0.
    selectionChanged(true, SelectionBy::user);
}

QString RecordingViewModel::playbackFile(const RecordingItem& item) const
{
    if (m_isPlayingEnhanced) {
        if (const auto enhanced = m_storage->enhancedFileURL(item))
            return *enhanced;
    }
    return m_storage->fileURL(item);
}

void RecordingViewModel::scheduleFocusRelease()
{
    QTimer::singleShot(0, this, [this] {
        if (m_focus)
            m_focus->releaseFocus();
    });
}

void RecordingViewModel::setIsPlayingEnhanced(bool value)
{
    assign(m_isPlayingEnhanced, value, &RecordingViewModel::isPlayingEnhancedChanged);
}

void RecordingViewModel::setPlayingEnhanced(bool playEnhanced)
{
    if (!m_selectedRecording || m_isPlayingEnhanced == playEnhanced)
        return;
    // Stored even without an enhanced file; the next selection corrects it.
    setIsPlayingEnhanced(playEnhanced);
    const QString file = playbackFile(*m_selectedRecording);
    const double position = m_playerManager->currentTime();
    const bool wasPlaying = m_playerManager->isPlaying();
    m_playerManager->load(file);
    m_playerManager->seek(std::max(0.0, std::min(position, m_playerManager->duration())));
    if (wasPlaying)
        m_playerManager->play();
}

// --- Delete, rename, export ---

void RecordingViewModel::deleteRecording(const RecordingItem& item)
{
    // Nothing is listed before the load; deleting would save an empty library.
    if (!m_isLibraryLoaded)
        return;
    cancelProcessingTasks(item.id);
    if (m_isMergeModeActive) {
        if (m_mergeSourceRecording && m_mergeSourceRecording->id == item.id) {
            leaveMergeMode();
        } else if (m_mergeSelectedIDs.contains(item.id)) {
            m_mergeSelectedIDs.remove(item.id);
            Q_EMIT mergeSelectedIDsChanged();
        }
    }
    if (m_selectedRecording && m_selectedRecording->id == item.id) {
        m_playerManager->stop();
        setSelectedRecording(std::nullopt);
    }
    // The library's copy names the files as they are now (a view may hold an
    // older copy without the enhanced file).
    const RecordingItem current = libraryItem(item.id).value_or(item);
    const bool trashed = m_storage->deleteItem(current, m_recordings);
    Q_EMIT recordingsChanged();
    Q_EMIT filteredRecordingsChanged();
    if (!m_selectedRecording && !m_recordings.isEmpty())
        selectRecording(m_recordings.first());
    if (trashed)
        showStatus(QStringLiteral("Moved to Trash"));
}

void RecordingViewModel::renameRecording(const RecordingItem& item, const QString& newTitle)
{
    const QString title = newTitle.trimmed();
    updateLibraryItem(item.id, [&title](RecordingItem& entry) { entry.title = title; });
}

void RecordingViewModel::exportToDownloads(const RecordingItem& item)
{
    const RecordingItem copy = libraryItem(item.id).value_or(item);
    // What the user listens to, for the selected recording.
    const bool preferEnhanced = m_selectedRecording && m_selectedRecording->id == item.id
        ? m_isPlayingEnhanced
        : copy.enhancedFileName.has_value();
    try {
        const QString exported = m_storage->exportToDownloads(copy, preferEnhanced);
        showStatus(QStringLiteral("Exported '") + QFileInfo(exported).fileName() + QStringLiteral("' to Downloads!"));
    } catch (...) {
        showStatus(QStringLiteral("Export failed: ") + Error::describe(std::current_exception()));
    }
}

// --- Search ---

void RecordingViewModel::prepareSearch()
{
    // Reading every transcript grows with the library: a worker does it.
    whenFinished(QtConcurrent::run([recordings = m_recordings] { return LibrarySearch::prepare(recordings); }), this,
                 [this](const FutureOutcome<LibrarySearch::Prepared>& outcome) {
                     if (outcome.value)
                         m_librarySearch.adopt(std::move(*outcome.value));
                 });
}

QList<RecordingItem> RecordingViewModel::filteredRecordings() const
{
    const QString query = m_searchText.trimmed();
    if (query.isEmpty())
        return m_recordings;
    return m_librarySearch.filter(m_recordings, query);
}

// --- Leaving merge and trim modes ---

void RecordingViewModel::leaveMergeMode()
{
    // A merge under way goes on: its state is cleared when it ends.
    assign(m_isMergeModeActive, false, &RecordingViewModel::isMergeModeActiveChanged);
    assign(m_mergeSourceRecording, std::optional<RecordingItem>(), &RecordingViewModel::mergeSourceRecordingChanged);
    assign(m_mergeSelectedIDs, QSet<QUuid>(), &RecordingViewModel::mergeSelectedIDsChanged);
    if (!m_isMerging)
        assign(m_mergeProgressText, std::optional<QString>(), &RecordingViewModel::mergeProgressTextChanged);
}

void RecordingViewModel::cancelTrimming()
{
    m_playerManager->pause();
    assign(m_isTrimmingActive, false, &RecordingViewModel::isTrimmingActiveChanged);
    assign(m_trimmingTargetItem, std::optional<RecordingItem>(), &RecordingViewModel::trimmingTargetItemChanged);
    assign(m_isTrimPreviewing, false, &RecordingViewModel::isTrimPreviewingChanged);
    refreshTrimProcessing();
}
