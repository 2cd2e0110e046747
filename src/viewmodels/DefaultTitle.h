#pragma once

#include <QString>
#include <QStringList>

// The title a recording gets when nobody names it: "New Recording " and one
// more than the highest number such titles already carry (the Italian form
// counts too), skipping numbers that a title already holds in any letter case.
class DefaultTitle {
public:
    DefaultTitle() = delete;

    static QString next(const QStringList& existingTitles);
};
