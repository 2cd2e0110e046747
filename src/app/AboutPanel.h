#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

// The About panel: the app's name, version and build, and two credit lines.
// One panel at a time; asking again brings it forward.
class AboutPanel : public QDialog {
    Q_OBJECT
public:
    struct Texts {
        QString name;
        QString version; // "Version 1.1.0"
        QString build;   // "Build 10"
        QStringList credits;
    };
    static Texts texts();

    // Shows the panel, making it on first use.
    static AboutPanel* showPanel();

private:
    AboutPanel();
};
