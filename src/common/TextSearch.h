#pragma once

#include <QStringView>

#include <functional>
#include <vector>

// Substring tests that answer exactly as QString::contains with
// Qt::CaseInsensitive, only faster on long texts: the library's search runs
// through every transcript of the library on each keystroke.
namespace TextSearch {

bool containsIgnoringCase(QStringView haystack, QStringView needle);

// `test` of every index below `count`, spread over the shared thread pool
// when there are many; `test` must only read what it is given.
std::vector<char> testEach(qsizetype count, const std::function<bool(qsizetype)>& test);

} // namespace TextSearch
