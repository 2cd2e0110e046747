#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>

class RecordingViewModel;
class Settings;
class SettingsWindow;

// Owns the single settings window: made on the first request, raised on later
// ones while it exists, forgotten when it closes so the next request builds a
// fresh one. Its frame is kept in the settings under `autosaveName`. Main
// thread only.
class SettingsWindowController : public QObject {
    Q_OBJECT
public:
    static inline const QString windowTitle = QStringLiteral("Settings");
    static inline const QString autosaveName = QStringLiteral("NimbrelSettingsWindowAutosave");
    // The dynamic property that carries a window's autosave name.
    static constexpr const char* autosaveProperty = "nimbrelFrameAutosaveName";
    static constexpr QSize contentSize{540, 500};

    // Builds the window's content for a view model. `closeWindow` closes the
    // settings window (for the content's own "Done" button).
    using ContentFactory = std::function<QWidget*(RecordingViewModel& vm, std::function<void()> closeWindow)>;

    static SettingsWindowController& shared();

    explicit SettingsWindowController(Settings& settings, QObject* parent = nullptr);
    ~SettingsWindowController() override;

    // Until one is set, the content is an empty stand-in.
    void setContentFactory(ContentFactory factory);

    // Remembers `vm` and brings the window forward, building it when there is none.
    void show(RecordingViewModel& vm);
    // Closes the window when there is one.
    void close();

    QWidget* window() const;
    RecordingViewModel* viewModel() const;

Q_SIGNALS:
    // The window was made, or it closed.
    void windowChanged();

private:
    SettingsWindow* buildWindow(RecordingViewModel& vm);
    void placeWindow(QWidget& window);
    void saveFrame();
    void windowWillClose();

    Settings& m_settings;
    ContentFactory m_factory;
    QPointer<SettingsWindow> m_window;
    QPointer<RecordingViewModel> m_vm;
    // Moves come in bursts while the user drags: the frame is stored once they settle.
    QTimer m_saveFrame;
};
