#pragma once

#include "viewmodels/DetailViewTab.h"

#include <QWidget>

class QButtonGroup;
class QToolButton;

// The segmented Audio / Transcript / Recap switch at the top right of the
// detail area, bound both ways to the view model's tab.
class DetailTabPicker : public QWidget {
    Q_OBJECT
public:
    explicit DetailTabPicker(QWidget* parent = nullptr);

    void setTab(DetailViewTab tab);
    DetailViewTab tab() const;
    QToolButton* button(DetailViewTab tab) const;

Q_SIGNALS:
    void tabChosen(DetailViewTab tab);

private:
    QButtonGroup* m_group;
};
