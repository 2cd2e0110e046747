#pragma once

#include <QProcess>
#include <QPoint>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <vector>

// The real executable on the test display, with a home, settings, library
// and runtime folder of its own; every process it started is killed at the end.
class AppUnderTest {
public:
    AppUnderTest();
    ~AppUnderTest();
    AppUnderTest(const AppUnderTest&) = delete;
    AppUnderTest& operator=(const AppUnderTest&) = delete;

    bool isValid() const { return m_home.isValid(); }
    QString runtimeDir() const { return m_home.filePath(QStringLiteral("runtime")); }
    QString configDir() const { return m_home.filePath(QStringLiteral("config")); }
    QString dataDir() const { return m_home.filePath(QStringLiteral("data")); }
    // Changes of the environment the next start gets.
    QProcessEnvironment& environment() { return m_environment; }

    void storeSetting(const QString& key, const QString& value);
    // Starts the app; its standard output and errors are merged.
    QProcess& start(const QStringList& arguments = {});

    // Runs a tool and gives its standard output, trimmed.
    static QString run(const QString& program, const QStringList& arguments);
    // The app's main window while it is mapped.
    static std::optional<QString> visibleWindow();
    static bool isIconic(const QString& window);
    // As the user does: the window in front, then the keys.
    static void pressOn(const QString& window, const QString& keys);
    // A left click at `x`, `y` from the window's top left corner.
    static void clickIn(const QString& window, int x, int y);
    // The window's size in pixels.
    static QSize sizeOf(const QString& window);
    // Where the window shows a red button (record, or stop while recording)
    // in its bottom `band` pixels: the middle of its red pixels.
    static std::optional<QPoint> redButtonIn(const QString& window, int band);

private:
    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};
