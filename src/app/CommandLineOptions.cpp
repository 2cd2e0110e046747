#include "app/CommandLineOptions.h"

#include "models/AppVersion.h"
#include "services/login/LaunchAtLoginManager.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

std::optional<int> CommandLineOptions::answerInformationRequest(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Private, on-device voice memo and meeting recorder."));
    // "-minimized" is accepted as a whole word, like "--minimized".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption minimized(QStringLiteral("minimized"),
                                       QStringLiteral("Start without showing the window."));
    const QCommandLineOption login(LaunchAtLoginManager::loginArgument.mid(2),
                                   QStringLiteral("Started at login: as --minimized."));
    parser.addOptions({help, version, minimized, login});
    // Unknown options are not an error here: Qt's own are read by the
    // application object later.
    parser.parse(arguments);

    if (parser.isSet(help)) {
        const QString program =
            arguments.isEmpty() ? QStringLiteral("nimbrel") : QFileInfo(arguments.first()).fileName();
        QString text = parser.helpText();
        // Without an application object Qt cannot name the program.
        text.replace(QStringLiteral("<executable_name>"), program);
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("Nimbrel %s (Build %s)\n", qPrintable(AppVersion::currentVersion()),
                    qPrintable(AppVersion::currentBuild()));
        return 0;
    }
    return std::nullopt;
}
