#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <sys/mount.h>

// A tmpfs of a few kilobytes mounted over a temporary folder, for writes that
// meet a full disk. Mounting needs root (or CAP_SYS_ADMIN); `isMounted` says
// whether it worked, and the test skips otherwise.
class SmallFileSystem {
public:
    explicit SmallFileSystem(int kilobytes)
    {
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0700";
        m_isMounted = m_folder.isValid()
            && ::mount("tmpfs", QFile::encodeName(m_folder.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                       options.constData())
                == 0;
    }
    ~SmallFileSystem()
    {
        if (m_isMounted)
            ::umount2(QFile::encodeName(m_folder.path()).constData(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool isMounted() const { return m_isMounted; }
    QString filePath(const QString& name) const { return m_folder.filePath(name); }

private:
    QTemporaryDir m_folder;
    bool m_isMounted = false;
};
