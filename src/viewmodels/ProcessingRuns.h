#pragma once

#include "models/RecordingItem.h"
#include "models/RecordingType.h"

#include <QFuture>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QUuid>

#include <memory>
#include <optional>

class ClipboardService;
class EnhancerService;
class LibraryViewModel;
class RecapService;
class RecordingsStorage;
class Settings;
class StatusLine;
class TranscriptionService;

// Transcription, recap and enhancement of library recordings: one run of each
// kind per recording, registered so that deleting the recording cancels it.
// Main thread only.
class ProcessingRuns : public QObject {
    Q_OBJECT

    Q_PROPERTY(QSet<QUuid> transcribingRecordingIDs READ transcribingRecordingIDs NOTIFY transcribingRecordingIDsChanged)
    Q_PROPERTY(QSet<QUuid> enhancingRecordingIDs READ enhancingRecordingIDs NOTIFY enhancingRecordingIDsChanged)
    Q_PROPERTY(QSet<QUuid> recappingRecordingIDs READ recappingRecordingIDs NOTIFY recappingRecordingIDsChanged)
    // Whole percent done of a running transcription or enhancement, by
    // recording; absent until its engine gives a first figure.
    Q_PROPERTY(QHash<QUuid, int> transcriptionProgress READ transcriptionProgress NOTIFY transcriptionProgressChanged)
    Q_PROPERTY(QHash<QUuid, int> enhancementProgress READ enhancementProgress NOTIFY enhancementProgressChanged)

public:
    struct Collaborators {
        LibraryViewModel& library;
        StatusLine& status;
        TranscriptionService& whisperEngine;
        RecapService& recapEngine;
        EnhancerService& voiceEnhancer;
        ClipboardService* clipboard = nullptr; // optional: needs a GUI
        RecordingsStorage& storage;
        Settings& settings;
    };
    explicit ProcessingRuns(Collaborators collaborators, QObject* parent = nullptr);

    const QSet<QUuid>& transcribingRecordingIDs() const { return m_transcribingRecordingIDs; }
    const QSet<QUuid>& enhancingRecordingIDs() const { return m_enhancingRecordingIDs; }
    const QSet<QUuid>& recappingRecordingIDs() const { return m_recappingRecordingIDs; }
    const QHash<QUuid, int>& transcriptionProgress() const { return m_transcriptionProgress; }
    const QHash<QUuid, int>& enhancementProgress() const { return m_enhancementProgress; }

    // Clears the recap, transcribes, then writes the recap when automatic recaps
    // are on and the model is present.
    void transcribeRecording(const RecordingItem& item);
    // A newly filed recording is transcribed unless the user turned that off.
    void transcribeIfAutomatic(const RecordingItem& item);
    // Needs a transcript; the type is the given one, else the recording's, else
    // meeting, and is stored on the recording.
    void generateRecap(const RecordingItem& item, std::optional<RecordingType> type = std::nullopt);
    // Writes the recap of a recording that has a transcript, when automatic
    // recaps are on and the model is present.
    void startAutomaticRecap(const QUuid& id);
    void enhanceRecording(const RecordingItem& item);
    // Stop the recording's run of that kind, which then applies nothing: the
    // recording stays as it was ("Transcription cancelled", "Enhancement
    // cancelled"). Nothing when none runs.
    void cancelTranscription(const RecordingItem& item);
    void cancelEnhancement(const RecordingItem& item);
    // Cancels every run of the recording, silently (it is deleted or its
    // audio replaced).
    void cancelAll(const QUuid& id);
    void copyRecap(const QString& text);
    void copyTranscript(const QString& text);

Q_SIGNALS:
    void transcribingRecordingIDsChanged();
    void enhancingRecordingIDsChanged();
    void recappingRecordingIDsChanged();
    void transcriptionProgressChanged();
    void enhancementProgressChanged();

private:
    enum class Kind { transcription, recap, enhancement };
    struct Task {
        QFuture<void> future;
        std::shared_ptr<bool> cancelled;
        Kind kind = Kind::transcription;
    };

    void registerTask(const QUuid& id, Task task);
    void cancelKind(const QUuid& id, Kind kind);
    bool isRecapModelPresent() const;
    void setProgress(QHash<QUuid, int>& progress, void (ProcessingRuns::*changed)(), const QUuid& id,
                     std::optional<int> percent);
    void setBusy(QSet<QUuid>& set, void (ProcessingRuns::*changed)(), const QUuid& id, bool busy);

    LibraryViewModel& m_library;
    StatusLine& m_status;
    TranscriptionService& m_whisperEngine;
    RecapService& m_recapEngine;
    EnhancerService& m_voiceEnhancer;
    ClipboardService* m_clipboard;
    RecordingsStorage& m_storage;
    Settings& m_settings;

    QSet<QUuid> m_transcribingRecordingIDs;
    QSet<QUuid> m_enhancingRecordingIDs;
    QSet<QUuid> m_recappingRecordingIDs;
    QHash<QUuid, int> m_transcriptionProgress;
    QHash<QUuid, int> m_enhancementProgress;
    QHash<QUuid, QList<Task>> m_tasks;
};
