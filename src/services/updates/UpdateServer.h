#pragma once

#include <QString>
#include <QUrl>

// Where update checks go. The host is never guessed: it comes from the
// environment variable NIMBREL_UPDATE_HOST or from the build's
// NIMBREL_UPDATE_HOST cache variable, in that order. A bare host name means
// https; a full base URL may name http only for a loopback host (tests).
namespace UpdateServer {

// The configured base URL; empty when this build has no update host or the
// one given breaks the rules below.
QUrl baseUrl();
bool isConfigured();
// Why no check can run: no host at all, or one that the rules refuse.
QString whyNotConfigured();
QUrl feedUrl();
QUrl pingUrl();

// Archives come only over https, or over http from a loopback host; the
// same holds for every redirect of the feed and of the archive.
bool isAcceptableDownloadUrl(const QUrl& url);

// A version string that may become part of a file name.
bool isSafeVersionString(const QString& version);

} // namespace UpdateServer
