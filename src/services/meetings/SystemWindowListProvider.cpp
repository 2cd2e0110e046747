#include "services/meetings/SystemWindowListProvider.h"

#include "platform/proc/AppIdentityTable.h"
#include "platform/proc/ProcProcessList.h"

#include <QHash>

SystemWindowListProvider::SystemWindowListProvider(X11WindowList::Walk walk)
    : m_windows({}, walk)
{
}

std::optional<QList<MeetingWindow>> SystemWindowListProvider::windows()
{
    const std::optional<QList<X11Window>> x11Windows = m_windows.windows();
    if (!x11Windows)
        return std::nullopt;

    QHash<qint64, std::optional<ProcProcess>> processes; // one read per process, many windows each
    QList<MeetingWindow> result;
    result.reserve(x11Windows->size());
    for (const X11Window& window : *x11Windows) {
        AppIdentityTable::Hints hints;
        hints.windowClass = window.windowClass;
        hints.windowInstance = window.windowInstance;
        if (window.pid > 0) {
            auto found = processes.find(window.pid);
            if (found == processes.end())
                found = processes.insert(window.pid, ProcProcessList::read(window.pid));
            if (*found) {
                hints.appId = (*found)->flatpakId;
                hints.executable = (*found)->executable;
            }
        }
        const AppIdentity identity = AppIdentityTable::resolve(hints);
        result.append(MeetingWindow{window.title, identity.name, identity.bundleID, window.frame});
    }
    return result;
}
