#pragma once

#include <QWidget>

// The settings window's frame: a titled, closable, fixed-size window that
// says when it has closed and when the user moved it.
class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    explicit SettingsWindow(QWidget* content);

Q_SIGNALS:
    void closed();
    void moved();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
};
