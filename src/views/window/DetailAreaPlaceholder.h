#pragma once

#include <QWidget>

// Holds the place of the detail panes (audio, transcript, recap) to the right
// of the library column until they are built.
class DetailAreaPlaceholder : public QWidget {
    Q_OBJECT
public:
    explicit DetailAreaPlaceholder(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
