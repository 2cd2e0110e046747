#include "views/detail/PaneButtons.h"

#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QPushButton>

#include <algorithm>

namespace PaneButtons {

namespace {

// `fill` none: bordered.
QPushButton* make(const QString& title, const QString& symbol, ColorRole fill, int pixelSize, TextWeight weight,
                  int iconSize)
{
    auto* button = new QPushButton(title);
    button->setFont(Style::font(pixelSize, weight));
    QPalette p = button->palette();
    if (fill != ColorRole::none) {
        p.setColor(QPalette::Button, Style::color(fill));
        p.setColor(QPalette::ButtonText, Qt::white);
        // Disabled reads as such: the fill and the label fade.
        p.setColor(QPalette::Disabled, QPalette::Button, Style::color(fill, 0.35));
        p.setColor(QPalette::Disabled, QPalette::ButtonText, Style::color(ColorRole::white, 0.75));
    }
    button->setPalette(p);
    if (!symbol.isEmpty())
        button->setIcon(Icons::icon(symbol, p.color(QPalette::ButtonText)));
    button->setIconSize(QSize(iconSize, iconSize));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

QPushButton* bordered(const QString& title, const QString& symbol)
{
    return make(title, symbol, ColorRole::none, 12, TextWeight::medium, 12);
}

QPushButton* prominent(const QString& title, const QString& symbol, ColorRole tint)
{
    return make(title, symbol, tint, 12, TextWeight::medium, 12);
}

QPushButton* cardAction(const QString& title, const QString& symbol)
{
    QPushButton* button = make(title, symbol, ColorRole::accent, 13, TextWeight::semibold, 13);
    // Room of 14 by 6 around the label, as the cards' actions have.
    const QSize label = button->sizeHint();
    button->setMinimumSize(label.width() + 16, std::max(label.height(), 30));
    return button;
}

} // namespace PaneButtons
