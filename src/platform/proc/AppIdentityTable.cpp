#include "platform/proc/AppIdentityTable.h"

#include <QHash>
#include <QList>
#include <QStringList>

namespace {

struct Entry {
    AppIdentity identity;
    // Lower-case Linux names: executables, window classes and instances,
    // Flatpak and desktop-file ids, sound-stream application names.
    QStringList linuxNames;
};

const QList<Entry>& entries()
{
    static const QList<Entry> table{
        {{QStringLiteral("zoom.us"), QStringLiteral("us.zoom.xos")},
         {"zoom", "zoom.real", "us.zoom.zoom", "zoom voiceengine"}},
        // Zoom's meeting host processes run only during a call.
        {{QStringLiteral("aomhost"), QStringLiteral("us.zoom.aomhost")}, {"aomhost"}},
        {{QStringLiteral("caphost"), QStringLiteral("us.zoom.caphost")}, {"caphost", "cpthost"}},
        {{QStringLiteral("Microsoft Teams"), QStringLiteral("com.microsoft.teams")},
         {"teams", "microsoft teams - preview", "teams-for-linux",
          "com.github.ismaelmartinez.teams_for_linux", "teams-insiders"}},
        {{QStringLiteral("Slack"), QStringLiteral("com.tinyspeck.slackmacgap")}, {"slack", "com.slack.slack"}},
        {{QStringLiteral("Webex"), QStringLiteral("com.cisco.webex")},
         {"webex", "ciscocollabhost", "com.cisco.webex"}},
        {{QStringLiteral("Firefox"), QStringLiteral("org.mozilla.firefox")},
         {"firefox", "firefox-esr", "firefox-bin", "org.mozilla.firefox"}},
        // Chromium stands in for Chrome: the rules know Chrome's identifier only.
        {{QStringLiteral("Chromium"), QStringLiteral("com.google.chrome")},
         {"chromium", "chromium-browser", "org.chromium.chromium"}},
        {{QStringLiteral("Google Chrome"), QStringLiteral("com.google.chrome")},
         {"google-chrome", "google-chrome-stable", "google-chrome-beta", "chrome", "com.google.chrome",
          "google chrome"}},
        {{QStringLiteral("Brave Browser"), QStringLiteral("com.brave.browser")},
         {"brave-browser", "brave-browser-stable", "brave", "com.brave.browser"}},
        {{QStringLiteral("Microsoft Edge"), QStringLiteral("com.microsoft.edgemac")},
         {"microsoft-edge", "microsoft-edge-stable", "msedge", "com.microsoft.edge", "microsoft edge"}},
        {{QStringLiteral("Opera"), QStringLiteral("com.operasoftware.opera")}, {"opera", "com.opera.opera"}},
        {{QStringLiteral("Vivaldi"), QStringLiteral("com.vivaldi.vivaldi")},
         {"vivaldi-stable", "vivaldi", "vivaldi-bin", "com.vivaldi.vivaldi"}},
    };
    return table;
}

const QHash<QString, AppIdentity>& byLinuxName()
{
    static const QHash<QString, AppIdentity> index = [] {
        QHash<QString, AppIdentity> map;
        for (const Entry& entry : entries()) {
            for (const QString& name : entry.linuxNames)
                map.insert(name, entry.identity);
        }
        return map;
    }();
    return index;
}

} // namespace

namespace AppIdentityTable {

std::optional<AppIdentity> find(const Hints& hints)
{
    for (const QString* hint : {&hints.appId, &hints.windowClass, &hints.windowInstance, &hints.executable,
                                &hints.audioApplicationName}) {
        if (hint->isEmpty())
            continue;
        const auto found = byLinuxName().constFind(hint->toLower());
        if (found != byLinuxName().cend())
            return *found;
    }
    return std::nullopt;
}

AppIdentity resolve(const Hints& hints)
{
    if (auto known = find(hints))
        return *known;
    auto firstOf = [](std::initializer_list<const QString*> names) {
        for (const QString* name : names) {
            if (!name->isEmpty())
                return *name;
        }
        return QString();
    };
    return AppIdentity{
        firstOf({&hints.windowClass, &hints.executable, &hints.audioApplicationName, &hints.appId}),
        firstOf({&hints.appId, &hints.executable, &hints.windowInstance, &hints.windowClass,
                 &hints.audioApplicationName}),
    };
}

} // namespace AppIdentityTable
