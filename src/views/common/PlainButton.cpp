#include "views/common/PlainButton.h"

#include "views/common/Accessibility.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

PlainButton::PlainButton(const QString& symbol, int size, const Tint& tint, const QString& toolTip, QWidget* parent)
    : QToolButton(parent)
    , m_symbol(symbol)
    , m_tint(tint)
{
    setProperty("plain", true);
    setAutoRaise(true);
    // Tab reaches it; a click leaves the keyboard where it was, so Space still plays.
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setIconSize(QSize(size, size));
    setFixedSize(size + 4, size + 4);
    setToolTip(toolTip);
    Accessibility::nameFromToolTip(this);
    refresh();
}

void PlainButton::setSymbol(const QString& symbol)
{
    if (symbol == m_symbol)
        return;
    m_symbol = symbol;
    refresh();
}

void PlainButton::setTint(const Tint& tint)
{
    if (tint == m_tint)
        return;
    m_tint = tint;
    refresh();
}

void PlainButton::setOpacity(double opacity)
{
    if (opacity == m_opacity)
        return;
    m_opacity = opacity;
    refresh();
}

void PlainButton::refresh()
{
    setIcon(Icons::icon(m_symbol, Style::color(m_tint.role, m_tint.opacity * m_opacity)));
}
