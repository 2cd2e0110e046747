#include "common/HttpFileDownloader.h"

#include "common/ByteCountText.h"
#include "common/Error.h"

#include <QFileInfo>
#include <QFutureWatcher>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QStorageInfo>
#include <QTimer>

#include <algorithm>

namespace {

const QString kDomain = QStringLiteral("HttpFileDownloader");

bool looksLikeWebPage(const QByteArray& head, const QString& contentType)
{
    if (contentType.contains(QLatin1String("html"), Qt::CaseInsensitive))
        return true;
    return head.trimmed().startsWith('<');
}

QString durationText(int ms)
{
    if (ms >= 120000 && ms % 60000 == 0)
        return QStringLiteral("%1 minutes").arg(ms / 60000);
    if (ms == 1000)
        return QStringLiteral("1 second");
    if (ms % 1000 == 0)
        return QStringLiteral("%1 seconds").arg(ms / 1000);
    return QStringLiteral("%1 ms").arg(ms);
}

QString tooManyRedirects(int allowed)
{
    return allowed == 1 ? QStringLiteral("The server redirected more than once.")
                        : QStringLiteral("The server redirected more than %1 times.").arg(allowed);
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

QFuture<QByteArray> HttpFileDownloader::fetch(const QUrl& source, Options options)
{
    auto* downloader = new HttpFileDownloader(source, QString(), std::move(options));
    auto body = std::make_shared<QByteArray>();
    downloader->m_memory = body;
    QFuture<void> future = downloader->m_promise.future();
    downloader->start();
    return future.then([body] { return std::move(*body); });
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

    if (m_options.deadlineMs > 0) {
        QTimer::singleShot(m_options.deadlineMs, this, [this] {
            if (!m_done)
                fail(DeadlineExceeded, QStringLiteral("The server did not finish sending within %1.")
                                           .arg(durationText(m_options.deadlineMs)));
        });
    }

    m_network = new QNetworkAccessManager(this);
    QNetworkRequest request(m_source);
    request.setTransferTimeout(m_options.transferTimeoutMs);
    // With a rule for redirects, each hop waits for onRedirected's consent
    // before anything connects to the new place.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         m_options.acceptsRedirect ? QNetworkRequest::UserVerifiedRedirectPolicy
                                                   : QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(std::max(0, m_options.maxRedirects));
    // Bytes on the wire must equal bytes in the file, or a short body could not be told.
    request.setRawHeader("Accept-Encoding", "identity");
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &HttpFileDownloader::onMetaData);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpFileDownloader::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &HttpFileDownloader::onFinished);
    connect(m_reply, &QNetworkReply::redirected, this, &HttpFileDownloader::onRedirected);
}

void HttpFileDownloader::onRedirected(const QUrl& target)
{
    if (m_done)
        return;
    const QUrl resolved = m_reply->url().resolved(target);
    if (++m_redirects > m_options.maxRedirects) {
        fail(RedirectRefused, tooManyRedirects(m_options.maxRedirects));
        return;
    }
    if (!m_options.acceptsRedirect)
        return; // the network layer's own policy decides
    if (!m_options.acceptsRedirect(resolved)) {
        fail(RedirectRefused, QStringLiteral("The server redirected to an address that is not allowed: %1")
                                  .arg(resolved.toDisplayString()));
        return;
    }
    Q_EMIT m_reply->redirectAllowed();
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
    // Redirects are followed by the network layer; only the final answer
    // counts. Between two hops the status can read as an interim one.
    if (!status.isValid() || status.toInt() < 200 || (status.toInt() >= 300 && status.toInt() < 400))
        return;
    if (status.toInt() != 200) {
        fail(status.toInt(), describeStatus(status.toInt()));
        return;
    }
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (!length.isValid())
        return;
    const qint64 announced = length.toLongLong();
    if (m_options.maxBytes >= 0 && announced > m_options.maxBytes) {
        fail(TooLarge, QStringLiteral("The server offered %1, more than the %2 allowed.")
                           .arg(byteCountText(announced), byteCountText(m_options.maxBytes)));
        return;
    }
    if (!m_memory) {
        const QStorageInfo volume(QFileInfo(m_destination).absolutePath());
        if (volume.isValid() && volume.bytesAvailable() >= 0 && announced > volume.bytesAvailable())
            fail(WriteFailure, QStringLiteral("There is not enough free space for the download: %1 needed, %2 free.")
                                   .arg(byteCountText(announced), byteCountText(volume.bytesAvailable())));
    }
}

bool HttpFileDownloader::writeBody(const QByteArray& data)
{
    if (m_memory) {
        m_memory->append(data);
        return true;
    }
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
    if (m_options.maxBytes >= 0 && m_received > m_options.maxBytes) {
        fail(TooLarge, QStringLiteral("The server sent more than the %1 allowed.").arg(byteCountText(m_options.maxBytes)));
        return;
    }
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
    if (m_reply->error() == QNetworkReply::TooManyRedirectsError) {
        fail(RedirectRefused, tooManyRedirects(m_options.maxRedirects));
        return;
    }
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    // An interim status at the end is no answer at all.
    if (status.isValid() && status.toInt() < 200) {
        fail(NetworkFailure, m_reply->errorString());
        return;
    }
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
    if (m_file && !m_file->commit()) {
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
