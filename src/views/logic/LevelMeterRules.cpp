#include "views/logic/LevelMeterRules.h"

#include <algorithm>
#include <cmath>

namespace LevelMeterRules {

double fillWidth(double width, float level, bool isActive)
{
    const double covered = std::min(width * static_cast<double>(level), width);
    if (!isActive || std::isnan(covered) || covered < 0)
        return 0;
    return covered;
}

} // namespace LevelMeterRules
