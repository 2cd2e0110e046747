#include "common/HttpFileDownloader.h"

#include "common/Error.h"

#include <QFutureWatcher>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>

#include <algorithm>

namespace {

const QString kDomain = QStringLiteral("HttpFileDownloader");

bool looksLikeWebPage(const QByteArray& head, const QString& contentType)
{
    if (contentType.contains(QLatin1String("html"), Qt::CaseInsensitive))
        return true;
    return head.trimmed().startsWith('<');
}

} // namespace

QFuture<void> HttpFileDownloader::download(const QUrl& source, const QString& destination, Options options)
{
    auto* downloader = new HttpFileDownloader(source, destination, std::move(options));
    QFuture<void> future = downloader->m_promise.future();
    downloader->start();
    return future;
}

QFuture<void> HttpFileDownloader::download(const QUrl& source, const QString& destination)
{
    return download(source, destination, Options());
}

HttpFileDownloader::HttpFileDownloader(const QUrl& source, const QString& destination, Options options)
    : m_source(source)
    , m_destination(destination)
    , m_options(std::move(options))
{
    m_promise.start();
}

HttpFileDownloader::~HttpFileDownloader() = default;

void HttpFileDownloader::start()
{
    // A cancelled future aborts the transfer even while the server is silent.
    auto* watcher = new QFutureWatcher<void>(this);
    connect(watcher, &QFutureWatcherBase::canceled, this, [this] {
        if (!m_done)
            fail(0, QString());
    });
    watcher->setFuture(m_promise.future());

    m_network = new QNetworkAccessManager(this);
    QNetworkRequest request(m_source);
    request.setTransferTimeout(m_options.transferTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    // Bytes on the wire must equal bytes in the file, or a short body could not be told.
    request.setRawHeader("Accept-Encoding", "identity");
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &HttpFileDownloader::onMetaData);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpFileDownloader::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &HttpFileDownloader::onFinished);
}

QString HttpFileDownloader::describeStatus(int status) const
{
    const QString reason = m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().trimmed();
    if (reason.isEmpty())
        return QStringLiteral("The server answered with HTTP status %1.").arg(status);
    return QStringLiteral("The server answered with HTTP status %1 (%2).").arg(status).arg(reason);
}

void HttpFileDownloader::onMetaData()
{
    if (m_done)
        return;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    // Redirects are followed by the network layer; only the final answer counts.
    if (status.isValid() && status.toInt() != 200 && (status.toInt() < 300 || status.toInt() >= 400))
        fail(status.toInt(), describeStatus(status.toInt()));
}

bool HttpFileDownloader::writeBody(const QByteArray& data)
{
    if (!m_file) {
        m_file = std::make_unique<QSaveFile>(m_destination);
        if (!m_file->open(QIODevice::WriteOnly)) {
            fail(WriteFailure, QStringLiteral("Cannot write %1: %2").arg(m_destination, m_file->errorString()));
            return false;
        }
    }
    if (m_file->write(data) != data.size()) {
        fail(WriteFailure, QStringLiteral("Cannot write %1: %2").arg(m_destination, m_file->errorString()));
        return false;
    }
    return true;
}

void HttpFileDownloader::onReadyRead()
{
    if (m_done)
        return;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 200) {
        onMetaData();
        if (!m_done)
            m_reply->readAll(); // a redirect's own body
        return;
    }
    const QByteArray data = m_reply->readAll();
    m_received += data.size();
    if (!m_signatureChecked) {
        m_head += data;
        qsizetype needed = 0;
        for (const QByteArray& signature : std::as_const(m_options.acceptedSignatures))
            needed = std::max(needed, signature.size());
        if (m_head.size() < needed)
            return;
        m_signatureChecked = true;
        const bool accepted = m_options.acceptedSignatures.isEmpty()
                              || std::any_of(m_options.acceptedSignatures.cbegin(),
                                             m_options.acceptedSignatures.cend(),
                                             [&](const QByteArray& signature) { return m_head.startsWith(signature); });
        if (!accepted) {
            const QString contentType = m_reply->header(QNetworkRequest::ContentTypeHeader).toString();
            fail(UnexpectedContent, looksLikeWebPage(m_head, contentType)
                                        ? QStringLiteral("The server sent a web page instead of the file.")
                                        : QStringLiteral("The server sent something other than the expected file."));
            return;
        }
        const QByteArray head = std::exchange(m_head, QByteArray());
        if (!writeBody(head))
            return;
    } else if (!writeBody(data)) {
        return;
    }
    if (m_options.progress) {
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        m_options.progress(m_received, length.isValid() ? length.toLongLong() : -1);
    }
}

void HttpFileDownloader::onFinished()
{
    if (m_done)
        return;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() != 200) {
        fail(status.toInt(), describeStatus(status.toInt()));
        return;
    }
    if (m_reply->bytesAvailable() > 0)
        onReadyRead();
    if (m_done)
        return;
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && m_received < length.toLongLong()) {
        fail(Truncated, QStringLiteral("The download ended early, after %1 of %2 bytes.")
                            .arg(m_received)
                            .arg(length.toLongLong()));
        return;
    }
    if (m_reply->error() != QNetworkReply::NoError || !status.isValid()) {
        fail(NetworkFailure, m_reply->errorString());
        return;
    }
    if (!m_signatureChecked && !m_options.acceptedSignatures.isEmpty()) {
        // Shorter than every signature.
        fail(UnexpectedContent, QStringLiteral("The server sent something other than the expected file."));
        return;
    }
    if (!m_file && !writeBody(QByteArray())) // an empty body is still a file
        return;
    if (!m_file->commit()) {
        fail(WriteFailure, QStringLiteral("Cannot write %1: %2").arg(m_destination, m_file->errorString()));
        return;
    }
    m_file.reset();
    m_done = true;
    m_promise.finish();
    deleteLater();
}

void HttpFileDownloader::fail(int code, const QString& message)
{
    m_done = true;
    if (m_file) {
        m_file->cancelWriting();
        m_file.reset(); // removes the temporary file
    }
    // Deleting the reply with this object (later, as this may run inside one
    // of its signals) closes the connection.
    if (m_reply)
        disconnect(m_reply, nullptr, this, nullptr);
    if (!m_promise.isCanceled())
        m_promise.setException(std::make_exception_ptr(Error(kDomain, code, message)));
    m_promise.finish();
    deleteLater();
}
