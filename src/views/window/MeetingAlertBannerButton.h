#pragma once

#include "views/logic/ViewColor.h"

#include <QAbstractButton>

// A meeting banner's button: an optional symbol and a label on a filled
// rounded rectangle, with no platform bezel.
class MeetingAlertBannerButton : public QAbstractButton {
    Q_OBJECT
public:
    struct Look {
        QString symbol; // none when empty
        Tint fill;
        Tint label;
        TextWeight weight = TextWeight::medium;
        int horizontalPadding = 10;
    };

    MeetingAlertBannerButton(const QString& text, const Look& look, QWidget* parent = nullptr);

    void setLook(const Look& look);
    const Look& look() const { return m_look; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Look m_look;
};
