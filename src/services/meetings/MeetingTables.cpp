#include "services/meetings/MeetingTables.h"

namespace MeetingTables {

const QSet<QString>& supportedMeetingBundleIDs()
{
    static const QSet<QString> ids{
        QStringLiteral("org.mozilla.firefox"),     QStringLiteral("com.google.chrome"),
        QStringLiteral("company.thebrowser.browser"), QStringLiteral("com.brave.browser"),
        QStringLiteral("com.apple.safari"),        QStringLiteral("com.microsoft.edgemac"),
        QStringLiteral("com.operasoftware.opera"), QStringLiteral("com.vivaldi.vivaldi"),
        QStringLiteral("com.kagi.kagimacos"),      QStringLiteral("us.zoom.xos"),
        QStringLiteral("us.zoom.aomhost"),         QStringLiteral("us.zoom.caphost"),
        QStringLiteral("com.microsoft.teams"),     QStringLiteral("com.microsoft.teams2"),
        QStringLiteral("com.cisco.webex"),         QStringLiteral("com.apple.facetime"),
    };
    return ids;
}

const QStringList& meetingExitPhrases()
{
    static const QStringList phrases{
        QStringLiteral("hai abbandonato la chiamata"),
        QStringLiteral("hai lasciato la riunione"),
        QStringLiteral("hai abbandonato la riunione"),
        QStringLiteral("chiamata terminata"),
        QStringLiteral("riunione terminata"),
        QStringLiteral("you left the meeting"),
        QStringLiteral("you've left the meeting"),
        QStringLiteral("you left the call"),
        QStringLiteral("call ended"),
        QStringLiteral("meeting ended"),
        QStringLiteral("pronto a partecipare"),
        QStringLiteral("ready to join"),
        QStringLiteral("torna alla schermata iniziale"),
        QStringLiteral("return to home screen"),
    };
    return phrases;
}

const QSet<QString>& supportedBrowserBundleIDs()
{
    static const QSet<QString> ids{
        QStringLiteral("com.google.chrome"),     QStringLiteral("company.thebrowser.browser"),
        QStringLiteral("com.brave.browser"),     QStringLiteral("com.apple.safari"),
        QStringLiteral("com.microsoft.edgemac"), QStringLiteral("org.mozilla.firefox"),
        QStringLiteral("com.operasoftware.opera"), QStringLiteral("com.vivaldi.vivaldi"),
        QStringLiteral("com.kagi.kagimacos"),
    };
    return ids;
}

const QStringList& supportedBrowserNames()
{
    static const QStringList names{
        QStringLiteral("google chrome"), QStringLiteral("arc"),     QStringLiteral("brave"),
        QStringLiteral("safari"),        QStringLiteral("microsoft edge"), QStringLiteral("firefox"),
        QStringLiteral("opera"),         QStringLiteral("vivaldi"), QStringLiteral("orion"),
    };
    return names;
}

const QSet<QString>& zoomNonMeetingTitles()
{
    static const QSet<QString> titles{
        QStringLiteral("zoom"),         QStringLiteral("zoom workplace"), QStringLiteral("zoom cloud meetings"),
        QStringLiteral("settings"),     QStringLiteral("preferences"),    QStringLiteral("login"),
        QStringLiteral("sign in"),      QStringLiteral("sign up"),        QStringLiteral("chat"),
        QStringLiteral("team chat"),    QStringLiteral("contacts"),       QStringLiteral("about zoom"),
        QStringLiteral("about zoom workplace"), QStringLiteral("update"), QStringLiteral("zoom update"),
        QStringLiteral("item-0"),
    };
    return titles;
}

const QStringList& browserTitleSuffixes()
{
    static const QStringList suffixes = [] {
        const QStringList browsers{
            QStringLiteral("Mozilla Firefox"), QStringLiteral("Firefox"), QStringLiteral("Google Chrome"),
            QStringLiteral("Arc"),             QStringLiteral("Brave"),   QStringLiteral("Safari"),
            QStringLiteral("Microsoft Edge"),  QStringLiteral("Opera"),   QStringLiteral("Vivaldi"),
        };
        QStringList list;
        for (const QString& browser : browsers) {
            list << QStringLiteral("\u2014 ") + browser << QStringLiteral("\u2013 ") + browser
                 << QStringLiteral("- ") + browser;
        }
        return list;
    }();
    return suffixes;
}

const QStringList& meetTitlePrefixes()
{
    static const QStringList prefixes{
        QStringLiteral("Meet \u2013"),        QStringLiteral("Meet -"),        QStringLiteral("Meet:"),
        QStringLiteral("Google Meet \u2013"), QStringLiteral("Google Meet -"), QStringLiteral("Google Meet:"),
    };
    return prefixes;
}

const QStringList& meetTitleSuffixes()
{
    static const QStringList suffixes{
        QStringLiteral("- Google Meet"), QStringLiteral("\u2013 Google Meet"), QStringLiteral("| Google Meet"),
    };
    return suffixes;
}

QString meetingCodePattern()
{
    return QStringLiteral("\\b[a-z]{3}-[a-z]{4}-[a-z]{3}\\b");
}

} // namespace MeetingTables
