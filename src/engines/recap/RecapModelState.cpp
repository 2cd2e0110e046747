#include "engines/recap/RecapModelState.h"

RecapModelState RecapModelState::downloading(double progress, const QString& message)
{
    return {Kind::downloading, progress, message};
}

RecapModelState RecapModelState::ready(const QString& modelName)
{
    return {Kind::ready, 0, modelName};
}

RecapModelState RecapModelState::error(const QString& message)
{
    return {Kind::error, 0, message};
}
