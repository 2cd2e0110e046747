#include "views/detail/LinkOpener.h"

#include "views/logic/LinkPolicy.h"

#include <QDebug>
#include <QDesktopServices>

namespace LinkOpener {

bool open(const QUrl& url)
{
    if (!LinkPolicy::isOpenable(url)) {
        qInfo().noquote() << "[Recap] refused to open a link:" << url.scheme();
        return false;
    }
    return QDesktopServices::openUrl(url);
}

} // namespace LinkOpener
