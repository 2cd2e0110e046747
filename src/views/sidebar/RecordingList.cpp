#include "views/sidebar/RecordingList.h"

#include "views/style/Style.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QVBoxLayout>

RecordingList::RecordingList(QWidget* parent)
    : QScrollArea(parent)
    , m_content(new QWidget)
    , m_layout(new QVBoxLayout(m_content))
{
    setObjectName(QStringLiteral("recordingList"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::TabFocus);
    Style::makeThin(verticalScrollBar());
    m_content->setObjectName(QStringLiteral("recordingListContent"));
    m_content->setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    // Each row is inset 4 above and below and 8 at the sides.
    m_layout->setContentsMargins(8, 4, 8, 4);
    m_layout->setSpacing(8);
    m_layout->addStretch(1);
    setWidget(m_content);
}

void RecordingList::setActiveRow(QWidget* row)
{
    m_activeRow = row;
    row->setParent(m_content);
    m_layout->insertWidget(0, row);
}

void RecordingList::arrange(const QList<QWidget*>& rows)
{
    for (QWidget* row : std::as_const(m_rows)) {
        if (!rows.contains(row)) {
            m_layout->removeWidget(row);
            row->hide();
        }
    }
    const int first = m_activeRow ? 1 : 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        QWidget* row = rows[i];
        const int wanted = first + static_cast<int>(i);
        if (m_layout->indexOf(row) != wanted) {
            if (row->parentWidget() != m_content)
                row->setParent(m_content);
            m_layout->removeWidget(row);
            m_layout->insertWidget(wanted, row);
        }
        row->show();
    }
    m_rows = rows;
}

QList<QWidget*> RecordingList::rows() const
{
    return m_rows;
}

void RecordingList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        Q_EMIT stepRequested(event->key() == Qt::Key_Up ? -1 : 1);
        event->accept();
        return;
    }
    QScrollArea::keyPressEvent(event);
}
