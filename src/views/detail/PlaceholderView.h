#pragma once

#include <QString>
#include <QWidget>

// The quiet centred message a pane shows when there is nothing to show:
// a faded symbol, a title and one line of help.
class PlaceholderView : public QWidget {
    Q_OBJECT
public:
    PlaceholderView(const QString& symbol, int symbolSize, const QString& title, const QString& subtitle,
                    QWidget* parent = nullptr);
};
