#include "audio/RecordingEditError.h"

#include <QFileInfo>

RecordingEditError::RecordingEditError(const QString& domain, int code, QString path, const QString& message)
    : Error(domain, code, message)
    , m_path(std::move(path))
{
}

QString RecordingEditError::nameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}
