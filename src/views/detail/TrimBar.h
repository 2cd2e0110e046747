#pragma once

#include <QWidget>

class ActivitySpinner;
class QLabel;
class QPushButton;
class TrimSession;

// The controls below the waveform in trim mode: "Cancel", the preview of the
// range and "Trim & Save...", which asks the pane for its confirmation. While
// the recording is being cut, a spinner with the cut's progress stands in
// for the preview and save, and "Cancel" stops the cut.
class TrimBar : public QWidget {
    Q_OBJECT
public:
    explicit TrimBar(TrimSession& trim, QWidget* parent = nullptr);

    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* previewButton() const { return m_preview; }
    QPushButton* saveButton() const { return m_save; }
    // Empty while no cut runs.
    QString progressText() const;

Q_SIGNALS:
    void saveRequested();

private:
    void refreshPreview();
    void refreshProcessing();

    TrimSession& m_trim;
    QPushButton* m_cancel;
    QPushButton* m_preview;
    QPushButton* m_save;
    QWidget* m_processing;
    ActivitySpinner* m_spinner;
    QLabel* m_progress;
};
