#pragma once

#include <QWidget>

class QPushButton;
class RecordingViewModel;

// The controls below the waveform in trim mode: "Cancel", the preview of the
// range and "Trim & Save...", which asks the pane for its confirmation.
class TrimBar : public QWidget {
    Q_OBJECT
public:
    explicit TrimBar(RecordingViewModel& vm, QWidget* parent = nullptr);

    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* previewButton() const { return m_preview; }
    QPushButton* saveButton() const { return m_save; }

Q_SIGNALS:
    void saveRequested();

private:
    void refreshPreview();

    RecordingViewModel& m_vm;
    QPushButton* m_cancel;
    QPushButton* m_preview;
    QPushButton* m_save;
};
