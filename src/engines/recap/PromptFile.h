#pragma once

#include <QString>

// The prompt handed to the runner, written to a file in our private temp
// folder (readable by us only); removed when this object goes, however the
// recap ends. Throws Error when the file cannot be written.
class PromptFile {
public:
    explicit PromptFile(const QString& prompt);
    ~PromptFile();

    PromptFile(const PromptFile&) = delete;
    PromptFile& operator=(const PromptFile&) = delete;

    const QString& path() const { return m_path; }

private:
    QString m_path;
};
