#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class RecordingViewModel;

// Space plays or pauses the selected recording in every window of the app,
// unless someone is typing. Installed on the application while the main
// window is on screen.
class SpaceKeyFilter : public QObject {
    Q_OBJECT
public:
    explicit SpaceKeyFilter(RecordingViewModel& vm, QObject* parent = nullptr);
    ~SpaceKeyFilter() override;

    // Installing twice leaves one filter; removing takes it out.
    void install();
    void remove();
    bool isInstalled() const { return m_installed; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    RecordingViewModel& m_vm;
    bool m_installed = false;
    // The widget that last took the keyboard from Tab or a shortcut.
    QPointer<QWidget> m_keyboardFocus;
};
