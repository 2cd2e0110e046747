#include "engines/speech/WhisperModelState.h"

#include <ostream>

WhisperModelState WhisperModelState::downloading(double progress, const QString& message)
{
    return {Case::downloading, progress, message, {}};
}

WhisperModelState WhisperModelState::ready(const QString& modelName)
{
    return {Case::ready, 0, {}, modelName};
}

WhisperModelState WhisperModelState::error(const QString& message)
{
    return {Case::error, 0, message, {}};
}

WhisperModelState WhisperModelState::notDownloaded()
{
    return {};
}

WhisperModelState WhisperModelState::loading()
{
    return {Case::loading, 0, {}, {}};
}

void PrintTo(const WhisperModelState& state, std::ostream* out)
{
    switch (state.state) {
    case WhisperModelState::Case::downloading:
        *out << "downloading(" << state.progress << ", \"" << state.message.toStdString() << "\")";
        break;
    case WhisperModelState::Case::ready:
        *out << "ready(\"" << state.modelName.toStdString() << "\")";
        break;
    case WhisperModelState::Case::error:
        *out << "error(\"" << state.message.toStdString() << "\")";
        break;
    case WhisperModelState::Case::notDownloaded:
        *out << "notDownloaded";
        break;
    case WhisperModelState::Case::loading:
        *out << "loading";
        break;
    }
}
