#pragma once

// What a sink or source is doing: RUNNING while some stream uses it.
enum class PulseDeviceState { Running, Idle, Suspended, Unknown };
