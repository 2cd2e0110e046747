#pragma once

// Moved to models/; kept until the view model includes it from there.
#include "models/RecorderState.h"
