#pragma once

#include <QWidget>

class BadgeView;
class WhisperEngine;

// The speech model's state at the end of the source bar: loading, the
// download, the offer to download it, or an error. Nothing once it is ready.
class WhisperStatusBadge : public QWidget {
    Q_OBJECT
public:
    explicit WhisperStatusBadge(WhisperEngine& engine, bool compact = false, QWidget* parent = nullptr);

    void setCompact(bool compact);
    BadgeView* badge() const { return m_badge; }

private:
    void refresh();

    WhisperEngine& m_engine;
    bool m_compact;
    BadgeView* m_badge;
};
