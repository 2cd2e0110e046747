#pragma once

#include "views/detail/RoundedPanel.h"

class QLabel;
class TrimSession;

// The line above the waveform in trim mode: the range's start, end and
// length, following the view model's range.
class TrimInfoLine : public RoundedPanel {
    Q_OBJECT
public:
    explicit TrimInfoLine(TrimSession& trim, QWidget* parent = nullptr);

    QString startText() const;
    QString endText() const;
    QString durationText() const;

private:
    void refresh();

    TrimSession& m_trim;
    QLabel* m_start;
    QLabel* m_end;
    QLabel* m_duration;
};
