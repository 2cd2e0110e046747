#pragma once

#include <QAbstractButton>

class ActivitySpinner;

// The big round button of the transport bar: a red ring around a red disc
// (record), a red square (stop), or a spinner while the recording is saved.
class RecordButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Face { record, stop, saving };

    explicit RecordButton(QWidget* parent = nullptr);

    void setFace(Face face);
    Face face() const { return m_face; }

    QSize sizeHint() const override { return {56, 56}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;

private:
    Face m_face = Face::record;
    ActivitySpinner* m_spinner;
};
