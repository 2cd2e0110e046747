#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class LibraryViewModel;
class SettingsServices;

// The Storage tab: where the recordings are, a way to open that folder, and
// how many recordings the library holds.
class StorageSection : public QWidget {
    Q_OBJECT
public:
    StorageSection(LibraryViewModel& library, SettingsServices& services, QWidget* parent = nullptr);

    QLabel* pathText() const { return m_path; }
    QPushButton* showFolderButton() const { return m_showFolder; }
    QLabel* countText() const { return m_count; }

private:
    void showCount();

    LibraryViewModel& m_library;
    QLabel* m_path;
    QPushButton* m_showFolder;
    QLabel* m_count;
};
