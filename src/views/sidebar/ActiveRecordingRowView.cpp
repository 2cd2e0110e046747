#include "views/sidebar/ActiveRecordingRowView.h"

#include "views/common/ContextMenus.h"
#include "views/common/ElidedLabel.h"
#include "views/common/PlainButton.h"
#include "views/logic/ActiveRowRules.h"
#include "views/sidebar/RowRenameEditor.h"
#include "views/sidebar/PulsingDot.h"
#include "views/style/Style.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

ActiveRecordingRowView::ActiveRecordingRowView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_Hover);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 6, 8, 6);
    row->setSpacing(9);

    m_dot = new PulsingDot(this);
    row->addWidget(m_dot, 0, Qt::AlignVCenter);

    auto* column = new QVBoxLayout;
    column->setSpacing(3);
    row->addLayout(column, 1);

    m_title = new ElidedLabel(this);
    column->addWidget(m_title);

    m_editor = new RowRenameEditor(this);
    connect(m_editor, &RowRenameEditor::textEdited, this, &ActiveRecordingRowView::editingTextChanged);
    connect(m_editor, &RowRenameEditor::commitRequested, this, &ActiveRecordingRowView::commitEditingRequested);
    connect(m_editor, &RowRenameEditor::cancelRequested, this, &ActiveRecordingRowView::cancelEditingRequested);
    column->addWidget(m_editor);

    auto* status = new QHBoxLayout;
    status->setSpacing(5);
    m_status = new ElidedLabel(this);
    m_status->setFont(Style::font(10, TextWeight::semibold));
    auto* bullet = new QLabel(QStringLiteral("•"), this);
    bullet->setFont(Style::font(9));
    bullet->setStyleSheet(QStringLiteral("color: %1;").arg(Style::css(Style::color(ColorRole::secondary, 0.6))));
    m_duration = new ElidedLabel(this);
    m_duration->setFont(Style::monospacedFont(11));
    m_duration->setColor(Style::color(ColorRole::secondary));
    // The state may be cut short, the time never.
    m_duration->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    status->addWidget(m_status);
    status->addWidget(bullet);
    status->addWidget(m_duration);
    status->addStretch(1);
    column->addLayout(status);

    m_buttons = new QWidget(this);
    auto* buttons = new QHBoxLayout(m_buttons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(6);
    m_renameButton = new PlainButton(QStringLiteral("pencil"), 13, {ColorRole::secondary},
                                     QStringLiteral("Rename recording in progress"), m_buttons);
    m_stopButton = new PlainButton(QStringLiteral("stop.circle.fill"), 15, {ColorRole::red},
                                   QStringLiteral("Stop & save recording"), m_buttons);
    m_renameButton->setObjectName(QStringLiteral("renameButton"));
    m_stopButton->setObjectName(QStringLiteral("stopButton"));
    buttons->addWidget(m_renameButton);
    buttons->addWidget(m_stopButton);
    row->addWidget(m_buttons, 0, Qt::AlignVCenter);
    connect(m_renameButton, &QToolButton::clicked, this, &ActiveRecordingRowView::startEditingRequested);
    connect(m_stopButton, &QToolButton::clicked, this, &ActiveRecordingRowView::stopRequested);

    setDuration(0);
    refresh();
}

void ActiveRecordingRowView::setTitle(const QString& title)
{
    m_title->setText(title);
}

void ActiveRecordingRowView::setDuration(double seconds)
{
    m_duration->setText(ActiveRowRules::formattedDuration(seconds));
}

void ActiveRecordingRowView::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    refresh();
}

void ActiveRecordingRowView::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    refresh();
}

void ActiveRecordingRowView::setEditing(bool editing, const QString& text)
{
    if (editing == m_editing)
        return;
    m_editing = editing;
    if (editing)
        m_editor->open(text);
    else
        m_editor->close();
    refresh();
}

void ActiveRecordingRowView::setEditingText(const QString& text)
{
    m_editor->setText(text);
}

QString ActiveRecordingRowView::title() const
{
    return m_title->text();
}

QString ActiveRecordingRowView::statusText() const
{
    return m_status->text();
}

QString ActiveRecordingRowView::durationText() const
{
    return m_duration->text();
}

void ActiveRecordingRowView::refresh()
{
    const auto status = ActiveRowRules::statusLine(m_paused);
    m_status->setText(status.text);
    m_status->setColor(Style::color(status.color));
    m_dot->setPaused(m_paused);

    const auto look = ActiveRowRules::look(m_selected, m_hovered);
    m_title->setFont(Style::font(13, look.titleWeight));
    m_title->setVisible(!m_editing);
    m_editor->setVisible(m_editing);
    m_buttons->setVisible(ActiveRowRules::showsEdgeButtons(m_editing));
    m_renameButton->setOpacity(look.renameButtonOpacity);
    m_stopButton->setOpacity(look.stopButtonOpacity);
    update();
}

void ActiveRecordingRowView::paintEvent(QPaintEvent*)
{
    const auto look = ActiveRowRules::look(m_selected, m_hovered);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    painter.fillPath(shape, Style::color(look.fill));
    painter.setPen(QPen(Style::color(look.border), 1));
    painter.drawPath(shape);
}

void ActiveRecordingRowView::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && ActiveRowRules::clicksAct(m_editing))
        Q_EMIT selectRequested();
}

void ActiveRecordingRowView::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && ActiveRowRules::clicksAct(m_editing))
        Q_EMIT startEditingRequested();
}

void ActiveRecordingRowView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    populateContextMenu(menu);
    menu.exec(event->globalPos());
}

void ActiveRecordingRowView::populateContextMenu(QMenu& menu)
{
    using Action = ActiveRowRules::Action;
    for (const auto& entry : ActiveRowRules::contextMenu(m_paused)) {
        QAction* action = ContextMenus::addEntry(menu, entry);
        switch (entry.action) {
        case Action::rename:
            // No guard here: the menu renames also while the field is open.
            connect(action, &QAction::triggered, this, &ActiveRecordingRowView::startEditingRequested);
            break;
        case Action::pauseResume:
            connect(action, &QAction::triggered, this, &ActiveRecordingRowView::pauseResumeRequested);
            break;
        case Action::stop:
            connect(action, &QAction::triggered, this, &ActiveRecordingRowView::stopRequested);
            break;
        }
    }
}

void ActiveRecordingRowView::enterEvent(QEnterEvent* event)
{
    m_hovered = true;
    refresh();
    QWidget::enterEvent(event);
}

void ActiveRecordingRowView::leaveEvent(QEvent* event)
{
    m_hovered = false;
    refresh();
    QWidget::leaveEvent(event);
}
