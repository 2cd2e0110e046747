#pragma once

#include <QByteArray>
#include <QString>

// Whole files for tests, in one call each.
namespace TestFiles {

// Writes `data` to `path`, making its folder first; fails the current test
// when the file cannot be opened.
void writeFile(const QString& path, const QByteArray& data);
// The file's bytes; empty when it cannot be read.
QByteArray readFile(const QString& path);

} // namespace TestFiles
