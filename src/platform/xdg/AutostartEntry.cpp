#include "platform/xdg/AutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QString desktopEntryGroup = QStringLiteral("[Desktop Entry]");

// Characters that make an argument need quotes in an Exec value.
bool needsQuotes(const QString& argument)
{
    if (argument.isEmpty())
        return true;
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    for (const QChar c : argument) {
        if (reserved.contains(c))
            return true;
    }
    return false;
}

QString quoteArgument(const QString& argument)
{
    QString text = argument;
    // A literal percent sign would be read as a field code.
    text.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (!needsQuotes(argument))
        return text;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

// The string-value escapes of the format, applied over the whole value.
QString escapeValue(const QString& value)
{
    QString escaped;
    for (const QChar c : value) {
        if (c == QLatin1Char('\\'))
            escaped += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            escaped += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            escaped += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            escaped += QStringLiteral("\\r");
        else
            escaped += c;
    }
    return escaped;
}

QString unescapeValue(const QString& value)
{
    QString plain;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            plain += c;
            continue;
        }
        const QChar next = value.at(++i);
        if (next == QLatin1Char('s'))
            plain += QLatin1Char(' ');
        else if (next == QLatin1Char('n'))
            plain += QLatin1Char('\n');
        else if (next == QLatin1Char('t'))
            plain += QLatin1Char('\t');
        else if (next == QLatin1Char('r'))
            plain += QLatin1Char('\r');
        else
            plain += next;
    }
    return plain;
}

// The keys of the file's [Desktop Entry] group.
QHash<QString, QString> readGroup(const QString& path, bool* readable)
{
    QHash<QString, QString> keys;
    QFile file(path);
    *readable = file.open(QIODevice::ReadOnly | QIODevice::Text);
    if (!*readable)
        return keys;
    bool inGroup = false;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == desktopEntryGroup;
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (inGroup && equals > 0)
            keys.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return keys;
}

bool isFalse(const QString& value)
{
    return value.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0;
}

bool isTrue(const QString& value)
{
    return value.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0;
}

} // namespace

AutostartEntry::AutostartEntry(QString folder, QString fileName)
    : m_folder(std::move(folder))
    , m_fileName(std::move(fileName))
{
}

QString AutostartEntry::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart");
}

QString AutostartEntry::filePath() const
{
    return QDir(m_folder).filePath(m_fileName);
}

AutostartEntry::Status AutostartEntry::status(const QString& executable) const
{
    if (!QFileInfo::exists(filePath()))
        return Status::notRegistered;
    bool readable = false;
    const QHash<QString, QString> keys = readGroup(filePath(), &readable);
    const QStringList command = parseExecValue(keys.value(QStringLiteral("Exec")));
    if (!readable || command.isEmpty() || command.first() != executable)
        return Status::otherProgram;
    if (isTrue(keys.value(QStringLiteral("Hidden"))) || isFalse(keys.value(QStringLiteral("X-GNOME-Autostart-enabled"))))
        return Status::disabledByUser;
    return Status::enabled;
}

QString AutostartEntry::write(const QString& name, const QString& executable, const QStringList& arguments) const
{
    if (!QDir().mkpath(m_folder))
        return QStringLiteral("Cannot create the folder %1").arg(m_folder);
    const QString text = desktopEntryGroup + QLatin1Char('\n')
        + QStringLiteral("Type=Application\n")
        + QStringLiteral("Name=") + escapeValue(name) + QLatin1Char('\n')
        + QStringLiteral("Exec=") + execValue(executable, arguments) + QLatin1Char('\n')
        + QStringLiteral("Terminal=false\n")
        + QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    QSaveFile file(filePath());
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Cannot write %1: %2").arg(filePath(), file.errorString());
    file.write(text.toUtf8());
    if (!file.commit())
        return QStringLiteral("Cannot write %1: %2").arg(filePath(), file.errorString());
    return {};
}

QString AutostartEntry::remove() const
{
    QFile file(filePath());
    if (!file.exists() || file.remove())
        return {};
    return QStringLiteral("Cannot remove %1: %2").arg(filePath(), file.errorString());
}

QString AutostartEntry::execValue(const QString& program, const QStringList& arguments)
{
    QStringList parts{quoteArgument(program)};
    for (const QString& argument : arguments)
        parts.append(quoteArgument(argument));
    return escapeValue(parts.join(QLatin1Char(' ')));
}

QStringList AutostartEntry::parseExecValue(const QString& value)
{
    const QString plain = unescapeValue(value);
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (int i = 0; i < plain.size(); ++i) {
        const QChar c = plain.at(i);
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < plain.size()) {
                current += plain.at(++i);
            } else if (c == QLatin1Char('%') && i + 1 < plain.size() && plain.at(i + 1) == QLatin1Char('%')) {
                current += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                current += c;
            }
            continue;
        }
        if (c == QLatin1Char('"')) {
            quoted = true;
            inArgument = true;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inArgument)
                arguments.append(current);
            current.clear();
            inArgument = false;
        } else if (c == QLatin1Char('%') && i + 1 < plain.size() && plain.at(i + 1) == QLatin1Char('%')) {
            current += c;
            ++i;
            inArgument = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments.append(current);
    return arguments;
}
