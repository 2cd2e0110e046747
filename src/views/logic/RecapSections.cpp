#include "views/logic/RecapSections.h"

#include <QLocale>

namespace RecapSections {

namespace {

// The recap engine's cleaning looks for the same instruction wording.
const QStringList& placeholderPhrases()
{
    static const QStringList phrases = {
        QStringLiteral("frasi sintetiche"),
        QStringLiteral("Elenco sintetico"),
        QStringLiteral("Cosa è stato deciso"),
        QStringLiteral("Compiti operativi"),
    };
    return phrases;
}

bool isHeading(const QString& line)
{
    return line.startsWith(QLatin1String("# ")) || line.startsWith(QLatin1String("## "));
}

QString headingTitle(QString line)
{
    line.remove(QStringLiteral("## "));
    line.remove(QStringLiteral("# "));
    return line;
}

} // namespace

bool shouldInclude(const QString& body)
{
    const QString trimmed = body.trimmed();
    if (trimmed.isEmpty())
        return false;
    if (!trimmed.startsWith(QLatin1Char('(')))
        return true;
    const QLocale locale;
    const QString lowered = locale.toLower(trimmed);
    for (const QString& phrase : placeholderPhrases()) {
        if (lowered.contains(locale.toLower(phrase)))
            return false;
    }
    return true;
}

QList<Section> parse(const QString& markdown)
{
    QList<Section> sections;
    bool open = false;
    QString title;
    QStringList body;

    auto close = [&] {
        if (!open)
            return;
        const QString content = body.join(QLatin1Char('\n')).trimmed();
        if (shouldInclude(content))
            sections.append({title, content});
    };

    // Only line feeds end lines; a carriage return stays with its line.
    for (const QString& line : markdown.split(QLatin1Char('\n'))) {
        if (isHeading(line)) {
            close();
            open = true;
            title = headingTitle(line);
            body.clear();
        } else {
            body.append(line);
        }
    }
    close();
    return sections;
}

} // namespace RecapSections
