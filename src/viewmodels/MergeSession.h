#pragma once

#include "common/Date.h"
#include "models/RecordingItem.h"

#include <QFuture>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUuid>

#include <optional>

class LibraryViewModel;
class PlayerService;
class ProcessingRuns;
class RecorderViewModel;
class RecordingsStorage;
class StatusLine;

// Merge mode: picking recordings to join with a source recording and joining
// them, oldest first, into a new recording of the library. Main thread only.
class MergeSession : public QObject {
    Q_OBJECT

    Q_PROPERTY(bool isMergeModeActive READ isMergeModeActive NOTIFY isMergeModeActiveChanged)
    Q_PROPERTY(std::optional<RecordingItem> mergeSourceRecording READ mergeSourceRecording NOTIFY
                   mergeSourceRecordingChanged)
    Q_PROPERTY(QSet<QUuid> mergeSelectedIDs READ mergeSelectedIDs NOTIFY mergeSelectedIDsChanged)
    Q_PROPERTY(bool isMerging READ isMerging NOTIFY isMergingChanged)
    Q_PROPERTY(std::optional<QString> mergeProgressText READ mergeProgressText NOTIFY mergeProgressTextChanged)

public:
    struct Collaborators {
        LibraryViewModel& library;
        ProcessingRuns& processing;
        const RecorderViewModel& recorder;
        StatusLine& status;
        PlayerService& player;
        RecordingsStorage& storage;
    };
    explicit MergeSession(Collaborators collaborators, QObject* parent = nullptr);

    bool isMergeModeActive() const { return m_isMergeModeActive; }
    const std::optional<RecordingItem>& mergeSourceRecording() const { return m_mergeSourceRecording; }
    const QSet<QUuid>& mergeSelectedIDs() const { return m_mergeSelectedIDs; }
    bool isMerging() const { return m_isMerging; }
    const std::optional<QString>& mergeProgressText() const { return m_mergeProgressText; }

    // Merge mode, only while idle: `item` is the source the others join.
    void startMergeMode(const RecordingItem& item);
    // Picks or unpicks another recording, at most five.
    void toggleMergeSelection(const RecordingItem& item);
    // Joins the source and the picks, oldest first, into a new recording that
    // is selected and transcribed; returns while the merger works. Nothing
    // happens while a merge runs, also one whose merge mode was left.
    void executeMerge();
    // The user's Cancel: leaves merge mode and stops a merge under way, which
    // removes what it wrote, files nothing and ends with "Merge cancelled".
    void cancelMergeMode();
    // Leaves merge mode without touching a merge under way (a recording or
    // trim mode starts).
    void leaveMergeMode();
    // The recording is being deleted: as the source it ends merge mode, as a
    // pick it is dropped.
    void forgetRecording(const QUuid& id);

Q_SIGNALS:
    void isMergeModeActiveChanged();
    void mergeSourceRecordingChanged();
    void mergeSelectedIDsChanged();
    void isMergingChanged();
    void mergeProgressTextChanged();

private:
    struct MergeJob {
        QString tempFile;
        QString title;
        QString fileName;
        Date createdAt;
        int joinedCount = 0;
    };
    void mergeFinished(const MergeJob& job, double duration);
    void fileMergedRecording(const MergeJob& job, const QString& fileName, double duration,
                             const QList<float>& waveform);
    void mergeFailed(const MergeJob& job, const QString& reason);
    // Removes the temporary file and, when it was already moved into the
    // library folder, `filedPath`.
    void mergeCancelled(const MergeJob& job, const QString& filedPath);
    void endMerge();
    void setMergeProgressText(const std::optional<QString>& text);

    LibraryViewModel& m_library;
    ProcessingRuns& m_processing;
    const RecorderViewModel& m_recorder;
    StatusLine& m_status;
    PlayerService& m_player;
    RecordingsStorage& m_storage;

    bool m_isMergeModeActive = false;
    std::optional<RecordingItem> m_mergeSourceRecording;
    QSet<QUuid> m_mergeSelectedIDs;
    bool m_isMerging = false;
    std::optional<QString> m_mergeProgressText;
    // The merger's run while it works, and whether the user cancelled it.
    QFuture<double> m_mergeWork;
    bool m_mergeCancelRequested = false;
};
