#pragma once

#include "models/RecordingItem.h"

// True when two copies of a recording share every piece of their data: the
// library hands out copies of one list, so an unchanged recording is known
// without reading its characters.
bool sharesAllData(const RecordingItem& a, const RecordingItem& b);
