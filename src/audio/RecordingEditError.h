#pragma once

#include "common/Error.h"

#include <QString>

// What the editing tools' errors add to Error: the file they name. Each tool
// keeps its own kinds (the code) and messages.
class RecordingEditError : public Error {
public:
    // The file the error names; empty for the cases without one.
    const QString& path() const { return m_path; }

protected:
    RecordingEditError(const QString& domain, int code, QString path, const QString& message);

    // The file's name without its folder, for messages.
    static QString nameOf(const QString& path);

private:
    QString m_path;
};
