#include "viewmodels/LibraryViewModel.h"

#include "common/Error.h"
#include "viewmodels/FutureOutcome.h"
#include "viewmodels/LibraryLoader.h"
#include "viewmodels/PublishedValue.h"
#include "viewmodels/StatusLine.h"
#include "viewmodels/collaborators/FocusService.h"
#include "viewmodels/collaborators/PlayerService.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <utility>

LibraryViewModel::LibraryViewModel(Collaborators collaborators, QObject* parent)
    : QObject(parent)
    , m_storage(collaborators.storage)
    , m_player(collaborators.player)
    , m_focus(collaborators.focus)
    , m_status(collaborators.status)
    , m_isCaptureIdle(std::move(collaborators.isCaptureIdle))
{
}

// Here, where the loader is a complete type; it waits for a load still running.
LibraryViewModel::~LibraryViewModel() = default;

void LibraryViewModel::setRecordings(const QList<RecordingItem>& recordings)
{
    m_recordings = recordings;
    Q_EMIT recordingsChanged();
    Q_EMIT filteredRecordingsChanged();
}

void LibraryViewModel::load(std::function<void()> beforeLoad)
{
    // Writes finish on the storage's thread and are reported here, queued.
    connect(&m_storage, &RecordingsStorage::saveFinished, this, &LibraryViewModel::writeFinished,
            Qt::UniqueConnection);
    m_loader = std::make_unique<LibraryLoader>(
        [storage = &m_storage, beforeLoad = std::move(beforeLoad)] {
            if (beforeLoad)
                beforeLoad();
            return storage->loadLibrary();
        },
        this, [this](RecordingsStorage::Loaded loaded) {
            applyLoadedLibrary(std::move(loaded.recordings), loaded.messages);
        });
    // On the first turn of the event loop: the window is shown before the
    // load takes the cores and the memory bus it would be built with.
    QTimer::singleShot(0, this, [this] { m_loader->start(); });
}

void LibraryViewModel::applyLoadedLibrary(QList<RecordingItem> loaded, const QStringList& messages)
{
    // Until now the list was empty and no operation could reach an entry.
    m_isLibraryLoaded = true;
    setRecordings(loaded);
    // What the load could not read, or left alone, is said once.
    if (!messages.isEmpty())
        m_status.show(messages.join(QStringLiteral(". ")));
    // Recordings stopped meanwhile are filed now, each selecting itself.
    const QList<std::function<void()>> waiting = std::exchange(m_afterLoad, {});
    for (const std::function<void()>& work : waiting)
        work();
    prepareSearch();
    // The newest recording, unless a recording is under way or was just filed.
    if (!m_selectedRecording && m_isCaptureIdle() && !m_recordings.isEmpty())
        setSelectedRecording(m_recordings.first());
    Q_EMIT libraryLoaded();
}

bool LibraryViewModel::awaitLibrary(std::chrono::milliseconds limit)
{
    return m_isLibraryLoaded || (m_loader && m_loader->finishWithin(limit));
}

void LibraryViewModel::whenLoaded(std::function<void()> work)
{
    if (m_isLibraryLoaded)
        work();
    else
        m_afterLoad.append(std::move(work));
}

void LibraryViewModel::save()
{
    // Before the load the list is not the library: saving it would replace
    // the index with nothing.
    if (m_isLibraryLoaded)
        m_storage.save(m_recordings);
}

void LibraryViewModel::writeFinished(const QString& failure)
{
    if (failure.isEmpty()) {
        m_writeFailing = false;
        return;
    }
    // The library stays as it is in memory; the next change tries again.
    if (!m_writeFailing)
        m_status.show(QStringLiteral("Could not save the library: ") + failure);
    m_writeFailing = true;
}

bool LibraryViewModel::waitForLibrarySaves(std::chrono::milliseconds limit)
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
    if (m_writeFailing)
        save();
    return m_storage.waitForSaves(left);
}

std::optional<RecordingItem> LibraryViewModel::item(const QUuid& id) const
{
    for (const RecordingItem& entry : m_recordings)
        if (entry.id == id)
            return entry;
    return std::nullopt;
}

bool LibraryViewModel::updateItem(const QUuid& id, const std::function<void(RecordingItem&)>& change,
                                  const std::function<void()>& afterSelection)
{
    const auto found = std::find_if(m_recordings.begin(), m_recordings.end(),
                                    [&](const RecordingItem& entry) { return entry.id == id; });
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
    save();
    return true;
}

RecordingItem LibraryViewModel::fileNewRecording(RecordingItem item)
{
    item.id = QUuid::createUuid();
    QList<RecordingItem> recordings = m_recordings;
    recordings.removeIf([&](const RecordingItem& other) { return other.fileName == item.fileName; });
    recordings.prepend(item);
    setRecordings(recordings);
    save();
    selectRecording(item);
    return item;
}

// --- Selection ---

void LibraryViewModel::setSelectedRecording(const std::optional<RecordingItem>& recording)
{
    assignSelection(recording, SelectionBy::user);
}

void LibraryViewModel::assignSelection(const std::optional<RecordingItem>& recording, SelectionBy by)
{
    publish(this, m_selectedRecording, recording, &LibraryViewModel::selectedRecordingChanged);
    // Runs for every assignment, also of the same recording.
    selectionChanged(false, by);
}

void LibraryViewModel::selectionChanged(bool alwaysReload, SelectionBy by)
{
    if (!m_selectedRecording) {
        m_player.stop();
        setIsPlayingEnhanced(false);
        return;
    }
    if (m_isPlayingEnhanced && !m_storage.enhancedFileURL(*m_selectedRecording))
        setIsPlayingEnhanced(false);
    const QString file = playbackFile(*m_selectedRecording);
    if (alwaysReload || m_player.currentLoadedURL() != file)
        m_player.load(file);
    if (by == SelectionBy::libraryUpdate)
        return;
    setIsSearchFocused(false);
    scheduleFocusRelease();
}

void LibraryViewModel::selectRecording(const RecordingItem& item)
{
    publish(this, m_selectedRecording, std::optional<RecordingItem>(item), &LibraryViewModel::selectedRecordingChanged);
    // Always reloaded, once: a selection starts stopped, at 0.
    selectionChanged(true, SelectionBy::user);
}

QString LibraryViewModel::playbackFile(const RecordingItem& item) const
{
    if (m_isPlayingEnhanced) {
        if (const auto enhanced = m_storage.enhancedFileURL(item))
            return *enhanced;
    }
    return m_storage.fileURL(item);
}

void LibraryViewModel::scheduleFocusRelease()
{
    QTimer::singleShot(0, this, [this] {
        if (m_focus)
            m_focus->releaseFocus();
    });
}

void LibraryViewModel::setIsPlayingEnhanced(bool value)
{
    publish(this, m_isPlayingEnhanced, value, &LibraryViewModel::isPlayingEnhancedChanged);
}

void LibraryViewModel::setPlayingEnhanced(bool playEnhanced)
{
    if (!m_selectedRecording || m_isPlayingEnhanced == playEnhanced)
        return;
    // Stored even without an enhanced file; the next selection corrects it.
    setIsPlayingEnhanced(playEnhanced);
    const QString file = playbackFile(*m_selectedRecording);
    const double position = m_player.currentTime();
    const bool wasPlaying = m_player.isPlaying();
    m_player.load(file);
    m_player.seek(std::max(0.0, std::min(position, m_player.duration())));
    if (wasPlaying)
        m_player.play();
}

void LibraryViewModel::setSearchText(const QString& text)
{
    if (publish(this, m_searchText, text, &LibraryViewModel::searchTextChanged))
        Q_EMIT filteredRecordingsChanged();
}

void LibraryViewModel::setIsSearchFocused(bool focused)
{
    publish(this, m_isSearchFocused, focused, &LibraryViewModel::isSearchFocusedChanged);
}

void LibraryViewModel::setIsRenamingActive(bool active)
{
    publish(this, m_isRenamingActive, active, &LibraryViewModel::isRenamingActiveChanged);
}

void LibraryViewModel::setActiveDetailTab(DetailViewTab tab)
{
    publish(this, m_activeDetailTab, tab, &LibraryViewModel::activeDetailTabChanged);
}

// --- Delete, rename, export ---

void LibraryViewModel::deleteRecording(const RecordingItem& item)
{
    // Nothing is listed before the load; deleting would save an empty library.
    if (!m_isLibraryLoaded)
        return;
    Q_EMIT recordingDeleting(item.id);
    if (m_selectedRecording && m_selectedRecording->id == item.id) {
        m_player.stop();
        setSelectedRecording(std::nullopt);
    }
    // The library's copy names the files as they are now (a view may hold an
    // older copy without the enhanced file).
    const RecordingItem current = this->item(item.id).value_or(item);
    const bool trashed = m_storage.deleteItem(current, m_recordings);
    Q_EMIT recordingsChanged();
    Q_EMIT filteredRecordingsChanged();
    if (!m_selectedRecording && !m_recordings.isEmpty())
        selectRecording(m_recordings.first());
    if (trashed)
        m_status.show(QStringLiteral("Moved to Trash"));
}

void LibraryViewModel::renameRecording(const RecordingItem& item, const QString& newTitle)
{
    const QString title = newTitle.trimmed();
    updateItem(item.id, [&title](RecordingItem& entry) { entry.title = title; });
}

void LibraryViewModel::updateRecordingType(const RecordingItem& item, RecordingType type)
{
    updateItem(item.id, [type](RecordingItem& entry) { entry.recordingType = type; });
}

void LibraryViewModel::exportToDownloads(const RecordingItem& item)
{
    const RecordingItem copy = this->item(item.id).value_or(item);
    // What the user listens to, for the selected recording.
    const bool preferEnhanced = m_selectedRecording && m_selectedRecording->id == item.id
        ? m_isPlayingEnhanced
        : copy.enhancedFileName.has_value();
    try {
        const QString exported = m_storage.exportToDownloads(copy, preferEnhanced);
        m_status.show(QStringLiteral("Exported '") + QFileInfo(exported).fileName()
                      + QStringLiteral("' to Downloads!"));
    } catch (...) {
        m_status.show(QStringLiteral("Export failed: ") + Error::describe(std::current_exception()));
    }
}

// --- Search ---

void LibraryViewModel::prepareSearch()
{
    // Reading every transcript grows with the library: a worker does it.
    whenFinished(QtConcurrent::run([recordings = m_recordings] { return LibrarySearch::prepare(recordings); }), this,
                 [this](const FutureOutcome<LibrarySearch::Prepared>& outcome) {
                     if (outcome.value)
                         m_librarySearch.adopt(std::move(*outcome.value));
                 });
}

QList<RecordingItem> LibraryViewModel::filteredRecordings() const
{
    const QString query = m_searchText.trimmed();
    if (query.isEmpty())
        return m_recordings;
    return m_librarySearch.filter(m_recordings, query);
}
