#pragma once

#include <QList>
#include <QString>

// Cuts a recap into the sections its top-level headings open, leaving out
// sections with nothing in them and those that only echo an instruction of
// the recap template.
namespace RecapSections {

struct Section {
    QString title;   // the heading without its markers, not trimmed
    QString content; // the body, trimmed

    friend bool operator==(const Section&, const Section&) = default;
};

// Headings are lines starting "# " or "## "; text before the first is dropped.
// Empty when the text has no heading or every section was left out: the
// caller then shows the whole text as one block.
QList<Section> parse(const QString& markdown);

// A body is kept unless it is blank or a parenthesised placeholder in the
// template's Italian instruction wording.
bool shouldInclude(const QString& body);

} // namespace RecapSections
