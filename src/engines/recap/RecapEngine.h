#pragma once

#include "common/SerialQueue.h"
#include "engines/recap/RecapModelState.h"
#include "models/RecordingType.h"

#include <QFuture>
#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QFileSystemWatcher;

// Turns a transcript into a Markdown recap with a small local language model,
// run by an outside runner one recap at a time; owns the model file and its
// download. Properties change on the main thread only.
class RecapEngine : public QObject {
    Q_OBJECT
    Q_PROPERTY(RecapModelState modelState READ modelState NOTIFY modelStateChanged)
    Q_PROPERTY(bool isGenerating READ isGenerating NOTIFY isGeneratingChanged)
public:
    static RecapEngine& shared();

    // Tests make their own; the app uses shared().
    explicit RecapEngine(QObject* parent = nullptr);
    ~RecapEngine() override;

    static inline const QString modelFileName = QStringLiteral("gemma-3-1b-it-Q4_K_M.gguf");
    // Where the model lives, shared with the speech model; made on first use.
    static QString modelsDirectory();
    static QString modelPath();
    // Only existence counts.
    static bool isModelReady();
    // The download's source on the model host ($NIMBREL_MODEL_HOST in tests).
    static QUrl modelSourceUrl();

    RecapModelState modelState() const { return m_modelState; }
    bool isGenerating() const { return m_isGenerating; }

    // Starts the model download unless one runs. Call on the main thread.
    void downloadModel();

    // The cleaned recap, never empty. Fails with RecapEngine -1 (no model),
    // -2 (no runner), -3 (empty transcript), the runner's exit status or
    // signal when it gave no recap, -4 when it exited well but nothing was
    // left after cleaning, or CancelledError when the future is cancelled,
    // which also ends the runner.
    QFuture<QString> generateRecap(const QString& transcript, RecordingType recordingType);

    static QString cleanMarkdownOutput(const QString& output);

    // How the runner is started; exposed for tests.
    static int contextSize(const QString& transcript);
    static QStringList runnerArguments(const QString& runnerPath, const QString& modelPath,
                                       const QString& promptPath, int contextSize);
    static QProcessEnvironment runnerEnvironment(const QString& runnerPath, const QProcessEnvironment& inherited);

    static inline const QString errorDomain = QStringLiteral("RecapEngine");
    static constexpr int emptyRecapCode = -4;

Q_SIGNALS:
    void modelStateChanged();
    void isGeneratingChanged();

private:
    void checkModelAvailability();
    void watchModelsFolder();
    // Follows the model file put into or taken out of the models folder:
    // notDownloaded and ready both ways, an error once the file came or went
    // since; a download under way is left alone.
    void followModelFile();
    void setModelState(const RecapModelState& state);
    void setGenerating(bool generating);
    QString runRecap(const QString& runnerPath, const QString& transcript, RecordingType type,
                     const std::function<bool()>& isCancelled);

    SerialQueue m_recapQueue;
    QFileSystemWatcher* m_modelsWatcher;
    bool m_modelPresentAtError = false; // whether the model file was there when the error was set
    RecapModelState m_modelState;
    bool m_isGenerating = false;
};
