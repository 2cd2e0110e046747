#pragma once

#include <QLocale>
#include <QString>

// The sidebar's search as the transcript rows use it: the query trimmed of
// blanks and line breaks, matched as a substring ignoring case by the rules of
// the user's locale. The query is lowered once, the rows per match.
class SearchMatcher {
public:
    SearchMatcher() = default;
    explicit SearchMatcher(const QString& searchText, const QLocale& locale = QLocale());

    // False for an empty or blank query: nothing is highlighted then.
    bool isActive() const { return !m_query.isEmpty(); }
    bool matches(const QString& text) const;

private:
    QLocale m_locale;
    QString m_query;
    bool m_ownCaseRules = false;
};
