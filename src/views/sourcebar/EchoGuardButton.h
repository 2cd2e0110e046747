#pragma once

#include <QAbstractButton>

// The Echo Guard switch of the source bar: a shield and its label on a
// rounded plate, teal while the guard is on.
class EchoGuardButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit EchoGuardButton(QWidget* parent = nullptr);

    void setGuardOn(bool on);
    bool isGuardOn() const { return m_on; }
    void setLabel(const QString& label, int horizontalPadding);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_on = false;
    int m_padding = 9;
};
