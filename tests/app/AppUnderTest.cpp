#include "AppUnderTest.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSize>

#include <algorithm>

AppUnderTest::AppUnderTest()
{
    QDir().mkpath(runtimeDir());
    QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.insert(QStringLiteral("HOME"), m_home.path());
    m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir());
    m_environment.insert(QStringLiteral("XDG_DATA_HOME"), dataDir());
    m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral("cache")));
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir());
    m_environment.insert(QStringLiteral("NIMBREL_NO_ANIMATIONS"), QStringLiteral("1"));
}

AppUnderTest::~AppUnderTest()
{
    for (auto& process : m_processes) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
}

void AppUnderTest::storeSetting(const QString& key, const QString& value)
{
    TestFiles::writeFile(configDir() + QStringLiteral("/Nimbrel/Nimbrel.ini"),
                         QStringLiteral("[General]\n%1=%2\n").arg(key, value).toUtf8());
}

QProcess& AppUnderTest::start(const QStringList& arguments)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(m_environment);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(QStringLiteral(NIMBREL_EXECUTABLE), arguments);
    m_processes.push_back(std::move(process));
    return *m_processes.back();
}

QString AppUnderTest::run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

std::optional<QString> AppUnderTest::visibleWindow()
{
    const QString found = run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                           QStringLiteral("--name"), QStringLiteral("^Nimbrel$")});
    if (found.isEmpty())
        return std::nullopt;
    return found.split(QLatin1Char('\n')).first();
}

bool AppUnderTest::isIconic(const QString& window)
{
    return run(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("WM_STATE")})
        .contains(QStringLiteral("Iconic"));
}

void AppUnderTest::pressOn(const QString& window, const QString& keys)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
    run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
}

void AppUnderTest::clickIn(const QString& window, int x, int y)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
    run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                                    QString::number(x), QString::number(y), QStringLiteral("click"),
                                    QStringLiteral("1")});
}

QSize AppUnderTest::sizeOf(const QString& window)
{
    QSize size;
    const QString shell = run(QStringLiteral("xdotool"),
                              {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
    for (const QString& line : shell.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("WIDTH=")))
            size.setWidth(line.mid(6).toInt());
        else if (line.startsWith(QStringLiteral("HEIGHT=")))
            size.setHeight(line.mid(7).toInt());
    }
    return size;
}

std::optional<QPoint> AppUnderTest::redButtonIn(const QString& window, int band)
{
    const QImage image = QGuiApplication::primaryScreen()->grabWindow(window.toULongLong()).toImage();
    qint64 sumX = 0;
    qint64 sumY = 0;
    qint64 count = 0;
    for (int y = std::max(0, image.height() - band); y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 90 && c.blue() < 90) {
                sumX += x;
                sumY += y;
                ++count;
            }
        }
    }
    if (count < 50)
        return std::nullopt;
    return QPoint(int(sumX / count), int(sumY / count));
}
