#include "views/style/Contrast.h"

#include <cmath>

namespace Contrast {

namespace {

double channel(double value)
{
    return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

QColor mix(const QColor& from, const QColor& to, double amount)
{
    const auto blend = [amount](double a, double b) { return a + (b - a) * amount; };
    return QColor::fromRgbF(static_cast<float>(blend(from.redF(), to.redF())),
                            static_cast<float>(blend(from.greenF(), to.greenF())),
                            static_cast<float>(blend(from.blueF(), to.blueF())));
}

} // namespace

double ratio(const QColor& first, const QColor& second)
{
    const double a = luminance(first);
    const double b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor over(const QColor& top, const QColor& bottom)
{
    const QColor opaqueTop(top.red(), top.green(), top.blue());
    return mix(bottom.toRgb(), opaqueTop.toRgb(), top.alphaF());
}

QColor readable(const QColor& ink, const QColor& background, double minimum)
{
    const QColor opaqueInk = over(ink, background);
    if (ratio(opaqueInk, background) >= minimum)
        return opaqueInk;
    const QColor target = ratio(Qt::black, background) >= ratio(Qt::white, background) ? QColor(Qt::black)
                                                                                        : QColor(Qt::white);
    // The least change that reaches the ratio, found by halving.
    double low = 0;
    double high = 1;
    for (int step = 0; step < 20; ++step) {
        const double middle = (low + high) / 2;
        if (ratio(mix(opaqueInk, target, middle), background) >= minimum)
            high = middle;
        else
            low = middle;
    }
    return mix(opaqueInk, target, high);
}

} // namespace Contrast
