#pragma once

#include <QAbstractButton>

// One tab of the settings window: its symbol and label, white on the accent
// colour while selected.
class SettingsTabButton : public QAbstractButton {
    Q_OBJECT
public:
    SettingsTabButton(const QString& symbol, const QString& label, QWidget* parent = nullptr);

    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont labelFont() const;

    QString m_symbol;
    bool m_selected = false;
};
