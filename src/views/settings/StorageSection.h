#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class RecordingViewModel;
class SettingsServices;

// The Storage tab: where the recordings are, a way to open that folder, and
// how many recordings the library holds.
class StorageSection : public QWidget {
    Q_OBJECT
public:
    StorageSection(RecordingViewModel& vm, SettingsServices& services, QWidget* parent = nullptr);

    QLabel* pathText() const { return m_path; }
    QPushButton* showFolderButton() const { return m_showFolder; }
    QLabel* countText() const { return m_count; }

private:
    void showCount();

    RecordingViewModel& m_vm;
    QLabel* m_path;
    QPushButton* m_showFolder;
    QLabel* m_count;
};
