#pragma once

// The inline rename field reports at most one save or one cancel. Losing the
// focus saves only once the field has settled, so the focus changes that come
// with its own arrival do not save it at once.
class RenameFieldState {
public:
    static constexpr int focusDelayMs = 50;  // after the field is shown
    static constexpr int readyDelayMs = 150; // after it took the focus

    enum class Event { returnKey, escapeKey, editingEnded };
    enum class Report { none, commit, cancel };

    Report handle(Event event);
    void markReady() { m_ready = true; }

    bool isReady() const { return m_ready; }
    bool isFinished() const { return m_finished; }

private:
    bool m_ready = false;
    bool m_finished = false;
};
