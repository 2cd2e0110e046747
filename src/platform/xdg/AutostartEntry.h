#pragma once

#include <QString>
#include <QStringList>

// A desktop entry in the user's XDG autostart folder that starts a program
// when the user logs in. Writes are atomic; failures come back as a
// one-line reason, never thrown.
class AutostartEntry {
public:
    enum class Status {
        notRegistered,  // no entry
        enabled,        // an entry that starts the given program
        disabledByUser, // our entry, turned off in the desktop's start-up settings
        otherProgram,   // an entry under our name that starts something else
    };

    // `folder` holds the entry; `fileName` names it.
    AutostartEntry(QString folder, QString fileName);

    // $XDG_CONFIG_HOME/autostart (~/.config/autostart by default).
    static QString defaultFolder();

    QString filePath() const;
    Status status(const QString& executable) const;

    // Writes an entry starting `executable` with `arguments`; empty when it
    // worked, else the reason.
    QString write(const QString& name, const QString& executable, const QStringList& arguments) const;
    // Removes the entry; empty when it worked or there was none.
    QString remove() const;

    // The Exec value of a desktop entry as written in the file (arguments
    // quoted, then the string escapes of the format), and its reading back.
    static QString execValue(const QString& program, const QStringList& arguments);
    static QStringList parseExecValue(const QString& value);

private:
    QString m_folder;
    QString m_fileName;
};
