#pragma once

#include "models/RecordingItem.h"

#include <QFuture>
#include <QHash>
#include <QObject>
#include <QString>
#include <QUuid>

#include <optional>

class LibraryViewModel;
class MergeSession;
class PlayerService;
class ProcessingRuns;
class RecorderViewModel;
class RecordingsStorage;
class StatusLine;
class TrimmerService;

// Trim mode: choosing a range of a stored recording, previewing it, and
// cutting the recording down to it, in place or as a new recording. Main
// thread only.
class TrimSession : public QObject {
    Q_OBJECT

    Q_PROPERTY(bool isTrimmingActive READ isTrimmingActive NOTIFY isTrimmingActiveChanged)
    Q_PROPERTY(std::optional<RecordingItem> trimmingTargetItem READ trimmingTargetItem NOTIFY trimmingTargetItemChanged)
    Q_PROPERTY(double trimStartTime READ trimStartTime WRITE setTrimStartTime NOTIFY trimStartTimeChanged)
    Q_PROPERTY(double trimEndTime READ trimEndTime WRITE setTrimEndTime NOTIFY trimEndTimeChanged)
    Q_PROPERTY(bool isTrimPreviewing READ isTrimPreviewing NOTIFY isTrimPreviewingChanged)
    Q_PROPERTY(bool isTrimmingProcessing READ isTrimmingProcessing NOTIFY isTrimmingProcessingChanged)
    Q_PROPERTY(std::optional<QString> trimmingProgressText READ trimmingProgressText NOTIFY trimmingProgressTextChanged)

public:
    struct Collaborators {
        LibraryViewModel& library;
        ProcessingRuns& processing;
        const RecorderViewModel& recorder;
        MergeSession& merge;
        StatusLine& status;
        PlayerService& player;
        TrimmerService& trimmer;
        RecordingsStorage& storage;
    };
    explicit TrimSession(Collaborators collaborators, QObject* parent = nullptr);

    bool isTrimmingActive() const { return m_isTrimmingActive; }
    const std::optional<RecordingItem>& trimmingTargetItem() const { return m_trimmingTargetItem; }
    double trimStartTime() const { return m_trimStartTime; }
    void setTrimStartTime(double seconds);
    double trimEndTime() const { return m_trimEndTime; }
    void setTrimEndTime(double seconds);
    bool isTrimPreviewing() const { return m_isTrimPreviewing; }
    bool isTrimmingProcessing() const { return m_isTrimmingProcessing; }
    const std::optional<QString>& trimmingProgressText() const { return m_trimmingProgressText; }

    // Only when idle: leaves merge mode, pauses, selects the recording and
    // takes the whole of it (at least one second) as the range.
    void startTrimming(const RecordingItem& item);
    // Pauses the player and leaves trim mode; the range stays. A cut under
    // way goes on and is filed when it ends.
    void cancelTrimming();
    // The trim bar's Cancel: leaves trim mode and stops the target's cut
    // under way, which removes what it wrote, changes nothing and ends with
    // "Trim cancelled".
    void cancelCut();
    // Plays the range from its start, or stops that preview; the preview
    // stops and rewinds by itself at the end of the range.
    void toggleTrimPreview();
    // Cuts the range of the recording's own file, as a new "(Trimmed)"
    // recording or in its place. Returns at once; the cut runs on workers.
    // Nothing while a cut of the recording runs; a range below half a second,
    // or one that keeps the whole recording, is refused with a message.
    void executeTrim(bool saveAsNew);

Q_SIGNALS:
    void isTrimmingActiveChanged();
    void trimmingTargetItemChanged();
    void trimStartTimeChanged();
    void trimEndTimeChanged();
    void isTrimPreviewingChanged();
    void isTrimmingProcessingChanged();
    void trimmingProgressTextChanged();

private:
    struct TrimJob;
    struct TrimCut;
    void setIsTrimPreviewing(bool previewing);
    void finishTrim(const TrimJob& job, const TrimCut& cut);
    void replaceWithCut(const TrimJob& job, const TrimCut& cut);
    void saveCutAsNew(const TrimJob& job, const TrimCut& cut);
    void failTrim(const QString& reason);
    void leaveTrimModeOf(const QUuid& id);
    // `isTrimmingProcessing` and its line from the trim target's cut, if any.
    void refreshTrimProcessing();

    LibraryViewModel& m_library;
    ProcessingRuns& m_processing;
    const RecorderViewModel& m_recorder;
    MergeSession& m_merge;
    StatusLine& m_status;
    PlayerService& m_player;
    TrimmerService& m_trimmer;
    RecordingsStorage& m_storage;

    bool m_isTrimmingActive = false;
    std::optional<RecordingItem> m_trimmingTargetItem;
    double m_trimStartTime = 0;
    double m_trimEndTime = 0;
    bool m_isTrimPreviewing = false;
    bool m_isTrimmingProcessing = false;
    std::optional<QString> m_trimmingProgressText;
    // The cuts under way, by recording (also after trim mode was left).
    struct TrimRun {
        QFuture<double> work;
        QString progress;
        bool cancelRequested = false;
    };
    QHash<QUuid, TrimRun> m_trimRuns;
};
