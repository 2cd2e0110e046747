#pragma once

#include "ViewModelFixture.h"
#include "views/style/Style.h"

#include <QApplication>

// A view model on fakes for views tested on their own: the app's style
// applied once, animations off so every view shows its resting state.
class StyledViewFixture : public ViewModelFixture {
protected:
    void SetUp() override
    {
        qputenv("NIMBREL_NO_ANIMATIONS", "1");
        ViewModelFixture::SetUp();
        static bool styled = false;
        if (!styled) {
            Style::apply(*qApp);
            styled = true;
        }
    }
};
