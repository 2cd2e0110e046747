#pragma once

#include "models/RecordingType.h"

#include <QString>
#include <QToolButton>

#include <functional>

// A pull-down of every recording type in declaration order, each row with
// its symbol and name and a check mark on the current one. The label shows
// the current type's symbol and `prefix` followed by its name; choosing a
// row calls `chosen`, which decides what happens.
class RecordingTypeMenu : public QToolButton {
    Q_OBJECT
public:
    RecordingTypeMenu(const QString& prefix, int pixelSize, int paddingX, int paddingY,
                      std::function<void(RecordingType)> chosen, QWidget* parent = nullptr);

    void setCurrent(RecordingType type);
    RecordingType current() const { return m_current; }
    // Runs the row of `type` as a click on it would.
    void choose(RecordingType type);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void rebuildMenu();
    QString labelText() const;

    QString m_prefix;
    int m_pixelSize;
    int m_paddingX;
    int m_paddingY;
    std::function<void(RecordingType)> m_chosen;
    RecordingType m_current = RecordingType::meeting;
};
