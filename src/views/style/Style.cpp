#include "views/style/Style.h"

#include "views/style/Icons.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <QScrollBar>
#include <QStyleFactory>

namespace Style {

namespace {

QFont::Weight qtWeight(TextWeight weight)
{
    switch (weight) {
    case TextWeight::regular:
        return QFont::Normal;
    case TextWeight::medium:
        return QFont::Medium;
    case TextWeight::semibold:
        return QFont::DemiBold;
    case TextWeight::bold:
        return QFont::Bold;
    }
    return QFont::Normal;
}

bool isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

const char* styleSheet()
{
    // Plain buttons: an icon or a label with no bezel, as the rows and the bars use them.
    return R"css(
QToolButton[plain="true"] { border: none; background: transparent; padding: 0px; }
QToolButton[plain="true"]:disabled { background: transparent; }
QToolButton#menuButton { padding: 6px; }
QToolButton#menuButton::menu-indicator { image: none; width: 0px; }
QScrollArea#recordingList { border: none; background: transparent; }
QWidget#recordingListContent { background: transparent; }
QLineEdit#searchField { border: none; background: transparent; padding: 0px; }
QFrame#divider { border: none; }
)css";
}

const char* thinScrollBarSheet()
{
    return R"css(
QScrollBar:vertical { background: transparent; width: 8px; margin: 2px; }
QScrollBar::handle:vertical { background: rgba(128, 128, 128, 0.45); border-radius: 2px; min-height: 24px; }
QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0px; }
QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }
)css";
}

} // namespace

void makeThin(QScrollBar* bar)
{
    // Set on the bar itself: a scroll area's bars are styled before they sit
    // inside it, so the application's sheet cannot pick them out.
    bar->setStyleSheet(QString::fromLatin1(thinScrollBarSheet()));
}

void apply(QApplication& app)
{
    Icons::installTheme();
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(fusion);
    app.setStyleSheet(QString::fromLatin1(styleSheet()));
}

QColor color(ColorRole role, double opacity)
{
    const QPalette palette = QApplication::palette();
    const bool dark = isDark(palette);
    QColor result;
    switch (role) {
    case ColorRole::none:
        return Qt::transparent;
    case ColorRole::primary:
        result = palette.color(QPalette::WindowText);
        break;
    case ColorRole::secondary:
        result = palette.color(QPalette::WindowText);
        result.setAlphaF(0.55f);
        break;
    case ColorRole::accent:
        result = palette.color(QPalette::Highlight);
        break;
    case ColorRole::red:
        result = dark ? QColor(255, 69, 58) : QColor(255, 59, 48);
        break;
    case ColorRole::orange:
        result = dark ? QColor(255, 159, 10) : QColor(255, 149, 0);
        break;
    case ColorRole::purple:
        result = dark ? QColor(191, 90, 242) : QColor(175, 82, 222);
        break;
    case ColorRole::blue:
        result = dark ? QColor(10, 132, 255) : QColor(0, 122, 255);
        break;
    case ColorRole::green:
        result = dark ? QColor(48, 209, 88) : QColor(52, 199, 89);
        break;
    case ColorRole::gray:
        result = QColor(142, 142, 147);
        break;
    case ColorRole::white:
        result = Qt::white;
        break;
    case ColorRole::yellow:
        result = dark ? QColor(255, 214, 10) : QColor(255, 204, 0);
        break;
    case ColorRole::teal:
        result = dark ? QColor(64, 200, 224) : QColor(48, 176, 199);
        break;
    case ColorRole::controlBackground:
        result = palette.color(QPalette::Base);
        break;
    }
    result.setAlphaF(static_cast<float>(result.alphaF() * opacity));
    return result;
}

QColor color(const Tint& tint)
{
    return color(tint.role, tint.opacity);
}

QFont font(int size, TextWeight weight)
{
    QFont result = QApplication::font();
    result.setPixelSize(size);
    result.setWeight(qtWeight(weight));
    return result;
}

QFont monospacedFont(int size, TextWeight weight)
{
    QFont result = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    result.setPixelSize(size);
    result.setWeight(qtWeight(weight));
    return result;
}

QString css(const QColor& color)
{
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(QString::number(color.alphaF(), 'f', 3));
}

bool animationsEnabled()
{
    const QByteArray value = qgetenv("NIMBREL_NO_ANIMATIONS");
    return value.isEmpty() || value == "0";
}

} // namespace Style
