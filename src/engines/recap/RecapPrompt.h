#pragma once

#include "models/RecordingType.h"

#include <QString>

// The recap request handed to the language model, in the Gemma chat format.
namespace RecapPrompt {

// One full prompt: the type's role and sections in English or Italian, the
// rules, then the transcript exactly as given.
QString build(const QString& transcript, bool isItalian, RecordingType type);

} // namespace RecapPrompt
