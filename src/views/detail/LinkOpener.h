#pragma once

#include <QUrl>

// Opens a link clicked in outside text: web pages and mail only; anything
// else is refused. Returns whether it was handed to the desktop.
namespace LinkOpener {

bool open(const QUrl& url);

} // namespace LinkOpener
