#pragma once

#include "models/RecordingType.h"

#include <QList>
#include <QWidget>

class FormatChip;
class QLabel;
class RecorderViewModel;

// "RECAP FORMAT" while recording: a chip per recording type; the chosen one
// is the type the recording in progress (and the next ones) will get.
class RecapFormatSection : public QWidget {
    Q_OBJECT
public:
    explicit RecapFormatSection(RecorderViewModel& recorder, QWidget* parent = nullptr);

    const QList<FormatChip*>& chips() const { return m_chips; }

private:
    void refresh();

    RecorderViewModel& m_recorder;
    QList<FormatChip*> m_chips;
    QLabel* m_typeName;
    QLabel* m_description;
};
