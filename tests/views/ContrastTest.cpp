// The current transcript segment reads at 4.5:1 on its highlight in a light
// and in a dark palette.
#include "views/detail/TranscriptSegmentDelegate.h"
#include "views/logic/TranscriptRules.h"
#include "views/style/Contrast.h"
#include "views/style/Style.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

QPalette palette(const QColor& window, const QColor& base, const QColor& text, const QColor& highlight)
{
    QPalette result;
    result.setColor(QPalette::Window, window);
    result.setColor(QPalette::Base, base);
    result.setColor(QPalette::WindowText, text);
    result.setColor(QPalette::Text, text);
    result.setColor(QPalette::Highlight, highlight);
    return result;
}

class PaletteScope {
public:
    explicit PaletteScope(const QPalette& palette)
        : m_old(QApplication::palette())
    {
        QApplication::setPalette(palette);
    }
    ~PaletteScope() { QApplication::setPalette(m_old); }

private:
    QPalette m_old;
};

} // namespace

TEST(Contrast, RatiosFollowTheGuidelinesFormula)
{
    EXPECT_NEAR(Contrast::ratio(Qt::black, Qt::white), 21.0, 0.01);
    EXPECT_NEAR(Contrast::ratio(Qt::white, Qt::white), 1.0, 0.001);
    EXPECT_NEAR(Contrast::ratio(QColor(0x76, 0x76, 0x76), Qt::white), 4.54, 0.01);
    EXPECT_EQ(Contrast::over(QColor(255, 0, 0, 0), Qt::blue), QColor(Qt::blue));
}

TEST(Contrast, ReadableKeepsAGoodInkAndMovesAFaintOneOnlySoFar)
{
    EXPECT_EQ(Contrast::readable(Qt::black, Qt::white), QColor(Qt::black));
    const QColor faint(60, 120, 200);
    const QColor dark(40, 40, 45);
    const QColor moved = Contrast::readable(faint, dark);
    EXPECT_GE(Contrast::ratio(moved, dark), 4.5);
    EXPECT_LT(Contrast::ratio(moved, dark), 4.7) << "no further than needed";
    EXPECT_GT(moved.lightness(), faint.lightness()) << "towards white on a dark ground";
}

TEST(Contrast, CurrentSegmentReadsOnItsHighlightInLightAndDarkPalettes)
{
    struct Case {
        const char* name;
        QPalette palette;
    } cases[] = {
        {"light", palette(QColor(239, 239, 239), Qt::white, Qt::black, QColor(48, 140, 198))},
        {"dark", palette(QColor(53, 53, 53), QColor(42, 42, 42), Qt::white, QColor(42, 130, 218))},
        {"dark, deep accent", palette(QColor(30, 30, 30), QColor(20, 20, 20), QColor(230, 230, 230), QColor(0, 60, 140))},
        {"light, pale accent", palette(Qt::white, Qt::white, QColor(30, 30, 30), QColor(140, 200, 255))},
    };
    for (const Case& c : cases) {
        const PaletteScope scope(c.palette);
        for (const bool playing : {true, false}) {
            TranscriptRules::RowFlags flags;
            flags.active = true;
            flags.playing = playing;
            const TranscriptRules::RowStyle style = TranscriptRules::rowStyle(flags);
            const QColor ink = TranscriptSegmentDelegate::textColor(style, c.palette);
            for (const QPalette::ColorRole surface : {QPalette::Window, QPalette::Base}) {
                const QColor fill = Contrast::over(Style::color(style.background), c.palette.color(surface));
                EXPECT_GE(Contrast::ratio(ink, fill), 4.5) << c.name << (playing ? " playing" : " paused");
            }
        }
    }
}
