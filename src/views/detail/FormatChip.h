#pragma once

#include "models/RecordingType.h"

#include <QAbstractButton>

// One recap format to pick while recording: the type's symbol and name on a
// rounded chip, filled with the accent colour when it is the chosen one.
class FormatChip : public QAbstractButton {
    Q_OBJECT
public:
    explicit FormatChip(RecordingType type, QWidget* parent = nullptr);

    RecordingType type() const { return m_type; }
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont nameFont() const;

    RecordingType m_type;
    bool m_selected = false;
};
