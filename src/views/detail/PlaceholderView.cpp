#include "views/detail/PlaceholderView.h"

#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QLabel>
#include <QVBoxLayout>

PlaceholderView::PlaceholderView(const QString& symbol, int symbolSize, const QString& title,
                                 const QString& subtitle, QWidget* parent)
    : QWidget(parent)
{
    auto* column = new QVBoxLayout(this);
    column->setSpacing(12);
    column->addStretch(1);

    auto* icon = new QLabel;
    icon->setObjectName(QStringLiteral("placeholderSymbol"));
    icon->setProperty("symbolName", symbol);
    icon->setPixmap(
        Icons::pixmap(symbol, symbolSize, Style::color(Tint{ColorRole::secondary, 0.4}), devicePixelRatioF()));
    column->addWidget(icon, 0, Qt::AlignHCenter);

    auto addText = [&](const QString& text, const QFont& font, double opacity, const char* name) {
        auto* label = new QLabel(text);
        label->setObjectName(QLatin1String(name));
        label->setTextFormat(Qt::PlainText);
        label->setFont(font);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, Style::color(Tint{ColorRole::secondary, opacity}));
        label->setPalette(p);
        // The whole width, and so the height its wrapped lines need there: a
        // label placed by alignment keeps its one-line width and is cut off.
        column->addWidget(label);
    };
    addText(title, Style::font(16, TextWeight::semibold), 1.0, "placeholderTitle");
    addText(subtitle, Style::font(12), 0.8, "placeholderSubtitle");
    column->addStretch(1);
}
