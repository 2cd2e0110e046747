#pragma once

#include <QMetaType>
#include <QString>

// Where the recap model stands: absent, being downloaded, present, or the
// last download failed.
class RecapModelState {
public:
    enum class Kind { notDownloaded, downloading, ready, error };

    RecapModelState() = default;
    static RecapModelState notDownloaded() { return {}; }
    static RecapModelState downloading(double progress, const QString& message);
    static RecapModelState ready(const QString& modelName);
    static RecapModelState error(const QString& message);

    Kind kind() const { return m_kind; }
    bool isDownloading() const { return m_kind == Kind::downloading; }
    bool isReady() const { return m_kind == Kind::ready; }
    // 0 to 1 while downloading.
    double progress() const { return m_progress; }
    // The download's message or the error's.
    const QString& message() const { return m_text; }
    // The model's file name when ready.
    const QString& modelName() const { return m_text; }

    friend bool operator==(const RecapModelState&, const RecapModelState&) = default;

private:
    RecapModelState(Kind kind, double progress, QString text)
        : m_kind(kind)
        , m_progress(progress)
        , m_text(std::move(text))
    {
    }

    Kind m_kind = Kind::notDownloaded;
    double m_progress = 0;
    QString m_text;
};

Q_DECLARE_METATYPE(RecapModelState)
