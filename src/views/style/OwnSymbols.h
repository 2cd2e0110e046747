#pragma once

#include <QByteArray>
#include <QString>

// Drawings for the symbols that the icon theme has nothing for; black on
// transparent, tinted when drawn.
namespace OwnSymbols {

// Empty when the symbol is not one of ours.
QByteArray svg(const QString& symbol);

} // namespace OwnSymbols
