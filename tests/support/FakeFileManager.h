#pragma once

#include <QObject>
#include <QStringList>

// org.freedesktop.FileManager1 on a connection of its own to the session bus,
// for as long as it lives; it records what it was asked to show.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    FakeFileManager();
    ~FakeFileManager() override;

    // Whether the name and the object were taken on the bus.
    bool isRegistered() const { return m_registered; }

    QStringList shownItems;
    QStringList shownFolders;

public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString& startupId) { shownItems += uris; }
    void ShowFolders(const QStringList& uris, const QString& startupId) { shownFolders += uris; }

private:
    bool m_registered = false;
};
