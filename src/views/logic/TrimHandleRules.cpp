#include "views/logic/TrimHandleRules.h"

#include "views/logic/TimeTexts.h"

#include <algorithm>

namespace TrimHandleRules {

namespace {

double usableWidth(double width)
{
    return std::max(width, 1.0);
}

double ratio(double time, double duration)
{
    return std::clamp(time / duration, 0.0, 1.0);
}

} // namespace

Overlay overlay(double width, double duration, double start, double end)
{
    const double w = usableWidth(width);
    Overlay o;
    o.startX = duration > 0 ? w * ratio(start, duration) : 0;
    o.endX = duration > 0 ? w * ratio(end, duration) : w;
    o.leftMaskWidth = std::max(o.startX, 0.0);
    o.rightMaskX = o.endX;
    o.rightMaskWidth = std::max(w - o.endX, 0.0);
    o.frameX = o.startX;
    o.frameWidth = std::max(o.endX - o.startX, 0.0);
    o.startHandleX = std::max(o.startX - handleWidth / 2, 0.0);
    o.endHandleX = std::min(o.endX - handleWidth / 2, w - handleWidth / 2);
    return o;
}

double selectedLength(double start, double end)
{
    return std::max(end - start, 0.0);
}

double draggedStart(double x, double width, double duration, double endX, double end)
{
    const double w = usableWidth(width);
    const double held = std::max(std::min(x, endX - handleGap), 0.0);
    return std::max(std::min(held / w * duration, end - minimumRange), 0.0);
}

double draggedEnd(double x, double width, double duration, double startX, double start)
{
    const double w = usableWidth(width);
    const double held = std::min(std::max(x, startX + handleGap), w);
    return std::min(std::max(held / w * duration, start + minimumRange), duration);
}

QString confirmationMessage(double start, double end)
{
    return QStringLiteral("Selected length: ") + TimeTexts::minutesSeconds(selectedLength(start, end))
        + QStringLiteral(" (from ") + TimeTexts::minutesSeconds(start) + QStringLiteral(" to ")
        + TimeTexts::minutesSeconds(end) + QStringLiteral("). Save as a new recording or replace original?");
}

} // namespace TrimHandleRules
