#include "views/logic/StatusMessageRules.h"

#include <QStringList>

namespace StatusMessageRules {

bool isProblem(const QString& message)
{
    // "could not" too: "Could not save the library: ..." is a failure, never a
    // success; so is a recording cut short or a source lost.
    static const QStringList words{QStringLiteral("fail"),          QStringLiteral("error"),
                                   QStringLiteral("please"),        QStringLiteral("cannot"),
                                   QStringLiteral("could not"),     QStringLiteral("recording stopped"),
                                   QStringLiteral("disconnected"),  QStringLiteral("output removed"),
                                   QStringLiteral("no sound server")};
    for (const QString& word : words) {
        if (message.contains(word, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString symbol(const QString& message)
{
    return isProblem(message) ? QStringLiteral("exclamationmark.circle.fill") : QStringLiteral("checkmark.circle.fill");
}

Tint symbolTint(const QString& message)
{
    return isProblem(message) ? Tint{ColorRole::orange} : Tint{ColorRole::green};
}

} // namespace StatusMessageRules
