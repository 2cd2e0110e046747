#pragma once

#include "models/RecordingItem.h"
#include "models/RecordingType.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/DetailViewTab.h"
#include "viewmodels/LibrarySearch.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class FocusService;
class LibraryLoader;
class PlayerService;
class StatusLine;

// The library with its selection and search, and what the player plays of
// the selected recording. Main thread only.
//
// The library is read on a worker from the first turn of the event loop,
// once the window is up: it stays empty, and nothing is saved over the index,
// until the whole of it has arrived. A recording can start meanwhile; it is
// filed once it has.
class LibraryViewModel : public QObject {
    Q_OBJECT

    Q_PROPERTY(QList<RecordingItem> recordings READ recordings NOTIFY recordingsChanged)
    Q_PROPERTY(QList<RecordingItem> filteredRecordings READ filteredRecordings NOTIFY filteredRecordingsChanged)
    Q_PROPERTY(std::optional<RecordingItem> selectedRecording READ selectedRecording WRITE setSelectedRecording NOTIFY
                   selectedRecordingChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(bool isSearchFocused READ isSearchFocused WRITE setIsSearchFocused NOTIFY isSearchFocusedChanged)
    Q_PROPERTY(bool isRenamingActive READ isRenamingActive WRITE setIsRenamingActive NOTIFY isRenamingActiveChanged)
    Q_PROPERTY(DetailViewTab activeDetailTab READ activeDetailTab WRITE setActiveDetailTab NOTIFY activeDetailTabChanged)
    Q_PROPERTY(bool isPlayingEnhanced READ isPlayingEnhanced NOTIFY isPlayingEnhancedChanged)

public:
    struct Collaborators {
        RecordingsStorage& storage;
        PlayerService& player;
        FocusService* focus = nullptr; // optional: needs a GUI
        StatusLine& status;
        // Whether no recording is under way: only then does the load select
        // the newest recording.
        std::function<bool()> isCaptureIdle;
    };
    explicit LibraryViewModel(Collaborators collaborators, QObject* parent = nullptr);
    ~LibraryViewModel() override;

    // Starts reading the library on the next turn of the event loop;
    // `beforeLoad` runs on the load's thread before it reads anything.
    void load(std::function<void()> beforeLoad);
    bool isLibraryLoaded() const { return m_isLibraryLoaded; }
    // Waits at most `limit` for the library and takes it in now, without the
    // event loop (a quit); true when it is loaded.
    bool awaitLibrary(std::chrono::milliseconds limit);
    // Runs `work` now when the library is loaded, else once it is.
    void whenLoaded(std::function<void()> work);
    // Waits until every save of the library is on disk (at quit, and before a
    // second instance may take over), trying once more when the last write
    // failed; false when `limit` passed first. A load still running is waited
    // for first, within the same limit, and the recordings stopped meanwhile
    // are filed.
    bool waitForLibrarySaves(std::chrono::milliseconds limit);

    const QList<RecordingItem>& recordings() const { return m_recordings; }
    // The library filtered by `searchText` (title, transcript, segment texts).
    QList<RecordingItem> filteredRecordings() const;
    // The library's copy of the recording with `id`, if it is still there.
    std::optional<RecordingItem> item(const QUuid& id) const;
    // Applies `change` to the library entry with `id`, reassigns the selection
    // when it is that entry (then runs `afterSelection`) and saves; false
    // (nothing written) when it is gone.
    bool updateItem(const QUuid& id, const std::function<void(RecordingItem&)>& change,
                    const std::function<void()>& afterSelection = {});
    // Files a new recording: gives `item` an id, lists it first (in place of
    // an entry naming the same file), saves and selects it. Returns it.
    RecordingItem fileNewRecording(RecordingItem item);

    const std::optional<RecordingItem>& selectedRecording() const { return m_selectedRecording; }
    // Loads the recording into the player unless its file is already loaded,
    // and takes the keyboard from the search field and every other field, so
    // that Space plays: this is the user's (or the start's) choice.
    void setSelectedRecording(const std::optional<RecordingItem>& recording);
    // Selects the recording and always reloads its file: stopped, at 0.
    void selectRecording(const RecordingItem& item);
    const QString& searchText() const { return m_searchText; }
    void setSearchText(const QString& text);
    bool isSearchFocused() const { return m_isSearchFocused; }
    void setIsSearchFocused(bool focused);
    bool isRenamingActive() const { return m_isRenamingActive; }
    void setIsRenamingActive(bool active);
    DetailViewTab activeDetailTab() const { return m_activeDetailTab; }
    void setActiveDetailTab(DetailViewTab tab);
    bool isPlayingEnhanced() const { return m_isPlayingEnhanced; }
    // Switches the selected recording between its own and its enhanced file,
    // keeping the position and whether it plays.
    void setPlayingEnhanced(bool playEnhanced);

    // Cancels its runs, removes its files and entry, and selects the first
    // remaining recording when nothing is selected then.
    void deleteRecording(const RecordingItem& item);
    // The file name stays.
    void renameRecording(const RecordingItem& item, const QString& newTitle);
    void updateRecordingType(const RecordingItem& item, RecordingType type);
    void exportToDownloads(const RecordingItem& item);

Q_SIGNALS:
    void recordingsChanged();
    void filteredRecordingsChanged();
    void selectedRecordingChanged();
    void searchTextChanged();
    void isSearchFocusedChanged();
    void isRenamingActiveChanged();
    void activeDetailTabChanged();
    void isPlayingEnhancedChanged();
    // The library has been read and is listed (`isLibraryLoaded`).
    void libraryLoaded();
    // A recording is about to be deleted: its runs and merge picks go first.
    void recordingDeleting(const QUuid& id);

private:
    void setRecordings(const QList<RecordingItem>& recordings);
    void applyLoadedLibrary(QList<RecordingItem> loaded, const QStringList& messages);
    // Hands the library to the writer; nothing before it is loaded.
    void save();
    void writeFinished(const QString& failure);
    // Works out ahead, on a worker, what the first searches would read every transcript for.
    void prepareSearch();
    // Who changed the selection: the user (or the start), who is done with
    // any field, or the library behind the user's back, which never takes
    // the keyboard from a field the user types in.
    enum class SelectionBy { user, libraryUpdate };
    void assignSelection(const std::optional<RecordingItem>& recording, SelectionBy by);
    // Loads the selected recording into the player, also when it is loaded
    // already if `alwaysReload`.
    void selectionChanged(bool alwaysReload, SelectionBy by);
    QString playbackFile(const RecordingItem& item) const;
    void scheduleFocusRelease();
    void setIsPlayingEnhanced(bool value);

    RecordingsStorage& m_storage;
    PlayerService& m_player;
    FocusService* m_focus;
    StatusLine& m_status;
    std::function<bool()> m_isCaptureIdle;

    QList<RecordingItem> m_recordings;
    std::optional<RecordingItem> m_selectedRecording;
    QString m_searchText;
    // What the search keeps between keystrokes; the filter itself is a read.
    mutable LibrarySearch m_librarySearch;
    bool m_isSearchFocused = true;
    bool m_isRenamingActive = false;
    DetailViewTab m_activeDetailTab = DetailViewTab::waveform;
    bool m_isPlayingEnhanced = false;
    // A failing write of the library is reported once, until one succeeds.
    bool m_writeFailing = false;
    std::unique_ptr<LibraryLoader> m_loader;
    bool m_isLibraryLoaded = false;
    // What waits for the library: recordings stopped before it was loaded.
    QList<std::function<void()>> m_afterLoad;
};
