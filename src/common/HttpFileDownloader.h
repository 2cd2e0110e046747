#pragma once

#include <QByteArray>
#include <QFuture>
#include <QList>
#include <QObject>
#include <QPromise>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QSaveFile;

// Downloads one file over HTTP(S) into place. The body is streamed into a
// temporary file beside the destination, which replaces the destination by an
// atomic rename only when the whole body arrived with status 200 and starts
// with one of the accepted signatures; any failure leaves the old file as it
// was. Errors reach the future as `Error` with the domain "HttpFileDownloader":
// the HTTP status for an answer other than 200, or one of the codes below.
class HttpFileDownloader : public QObject {
    Q_OBJECT
public:
    enum Code {
        NetworkFailure = -1, // no answer, refused, timed out, TLS
        UnexpectedContent = -2, // not the kind of file asked for (a web page, say)
        Truncated = -3, // fewer bytes than the server announced
        WriteFailure = -4, // the destination folder cannot take the file
        TooLarge = -5, // more than `maxBytes`
        DeadlineExceeded = -6, // not done within `deadlineMs`
        RedirectRefused = -7, // a redirect to a place not accepted, or too many
    };

    struct Options {
        // The body must begin with one of these; none: any body is taken.
        QList<QByteArray> acceptedSignatures;
        // Gives up after this long without any data.
        int transferTimeoutMs = 60000;
        // Called on the starting thread as data arrives; `total` is -1 when the
        // server did not say.
        std::function<void(qint64 received, qint64 total)> progress;
        // Every redirect target must pass this before any connection is made
        // to it; none: redirects are followed only where no less safe.
        std::function<bool(const QUrl&)> acceptsRedirect;
        int maxRedirects = 5;
        // A body above this many bytes is refused; -1: no bound.
        qint64 maxBytes = -1;
        // The whole transfer must end within this long, however steadily a
        // slow server trickles; 0: no deadline.
        int deadlineMs = 0;
    };

    // Starts the download on the calling thread, which must run an event loop.
    // Cancelling the future aborts the transfer and keeps the old file.
    static QFuture<void> download(const QUrl& source, const QString& destination, Options options);
    static QFuture<void> download(const QUrl& source, const QString& destination);
    // The body in memory rather than in a file, under the same rules.
    static QFuture<QByteArray> fetch(const QUrl& source, Options options);

private:
    HttpFileDownloader(const QUrl& source, const QString& destination, Options options);
    ~HttpFileDownloader() override;

    void start();
    void onMetaData();
    void onReadyRead();
    void onFinished();
    void onRedirected(const QUrl& target);
    void fail(int code, const QString& message);
    bool writeBody(const QByteArray& data);
    QString describeStatus(int status) const;

    QUrl m_source;
    QString m_destination;
    Options m_options;
    QPromise<void> m_promise;
    QNetworkAccessManager* m_network = nullptr;
    QNetworkReply* m_reply = nullptr;
    std::unique_ptr<QSaveFile> m_file;
    std::shared_ptr<QByteArray> m_memory; // fetch(): the body goes here instead
    QByteArray m_head; // the first bytes, held back until the signature is known
    bool m_signatureChecked = false;
    bool m_done = false;
    qint64 m_received = 0;
    int m_redirects = 0;
};
