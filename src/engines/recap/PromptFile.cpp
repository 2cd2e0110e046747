#include "engines/recap/PromptFile.h"

#include "common/AppPaths.h"
#include "common/Error.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QUuid>

PromptFile::PromptFile(const QString& prompt)
    : m_path(QDir(AppPaths::privateTempFolder())
                 .filePath(QStringLiteral("recap_prompt_") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()
                           + QStringLiteral(".txt")))
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(prompt.toUtf8()) < 0
        || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) || !file.commit()) {
        throw Error(QStringLiteral("FileManager"), static_cast<int>(file.error()),
                    QStringLiteral("Could not write the recap prompt: ") + file.errorString());
    }
}

PromptFile::~PromptFile()
{
    QFile::remove(m_path);
}
