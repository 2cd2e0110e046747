#pragma once

// The recorder itself moves only among idle, recording and paused; starting
// and stopping are for the copy that the view model publishes.
enum class RecorderState { idle, starting, recording, paused, stopping };
