#include "views/detail/LinkOpener.h"

#include "common/ConsoleLine.h"
#include "views/logic/LinkPolicy.h"

#include <QDesktopServices>

namespace LinkOpener {

bool open(const QUrl& url)
{
    if (!LinkPolicy::isOpenable(url)) {
        ConsoleLine::print(QStringLiteral("[Recap] refused to open a link: ") + url.scheme());
        return false;
    }
    return QDesktopServices::openUrl(url);
}

} // namespace LinkOpener
