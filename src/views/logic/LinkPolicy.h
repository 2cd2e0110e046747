#pragma once

#include <QUrl>

// Which links from outside text (recaps) may be opened: web pages and mail
// only, never files, scripts or other handlers.
namespace LinkPolicy {

bool isOpenable(const QUrl& url);

} // namespace LinkPolicy
