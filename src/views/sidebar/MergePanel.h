#pragma once

#include <QWidget>

#include <optional>

class ActivitySpinner;
class ElidedLabel;
class QLabel;
class QPushButton;
class QToolButton;

// The panel over the library list while merge mode is on: the source the
// others join, how many are picked, the Merge button and the merge's progress.
class MergePanel : public QWidget {
    Q_OBJECT
public:
    explicit MergePanel(QWidget* parent = nullptr);

    struct State {
        std::optional<QString> sourceTitle;
        qsizetype picked = 0;
        bool isMerging = false;
        std::optional<QString> progress;
    };
    void setState(const State& state);

    QPushButton* mergeButton() const { return m_merge; }
    QToolButton* cancelButton() const { return m_cancel; }
    QString countText() const;
    QString mergeButtonText() const;
    QString sourceText() const;
    // Empty while no progress line shows.
    QString progressText() const;

Q_SIGNALS:
    void cancelRequested();
    void mergeRequested();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* m_sourceLine;
    ElidedLabel* m_source;
    QLabel* m_count;
    QPushButton* m_merge;
    ActivitySpinner* m_spinner;
    QLabel* m_mergeLabel;
    QToolButton* m_cancel;
    QLabel* m_progress;
};
