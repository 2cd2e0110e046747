#include "common/ScratchFileName.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QUuid>

namespace {

// Taken when the program is loaded, before anything it runs can write a file.
const qint64 runStarted = QDateTime::currentMSecsSinceEpoch();

QString prefixOf(ScratchFileName::Kind kind)
{
    switch (kind) {
    case ScratchFileName::Kind::merge:
        return QStringLiteral(".merge_temp_");
    case ScratchFileName::Kind::trim:
        return QStringLiteral(".trim_temp_");
    case ScratchFileName::Kind::enhancement:
        return QStringLiteral(".enh_temp_");
    }
    return {};
}

} // namespace

QString ScratchFileName::make(Kind kind)
{
    return prefixOf(kind) + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".mp3");
}

bool ScratchFileName::isScratch(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^\\.(merge|trim|enh)_temp_[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.mp3$"));
    return pattern.match(name).hasMatch();
}

qint64 ScratchFileName::runStartedMSecs()
{
    return runStarted;
}
