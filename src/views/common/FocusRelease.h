#pragma once

class QWidget;

// Takes the keyboard focus from every field on the next turn of the event
// loop, so Space reaches play and pause again. Only user actions call it: a
// change the program makes never pulls the focus out of a field the user types in.
namespace FocusRelease {

// The active window, or `fallbackWindow` when no window of ours is active.
void schedule(QWidget* fallbackWindow);

} // namespace FocusRelease
