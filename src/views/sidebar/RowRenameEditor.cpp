#include "views/sidebar/RowRenameEditor.h"

#include "views/common/PlainButton.h"
#include "views/style/Style.h"

#include <QHBoxLayout>

RowRenameEditor::RowRenameEditor(QWidget* parent)
    : QWidget(parent)
    , m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(4);
    auto* save = new PlainButton(QStringLiteral("checkmark.circle.fill"), 15, {ColorRole::green},
                                 QStringLiteral("Save (Return)"), this);
    auto* cancel = new PlainButton(QStringLiteral("xmark.circle.fill"), 15, {ColorRole::secondary},
                                   QStringLiteral("Cancel (Esc)"), this);
    save->setObjectName(QStringLiteral("saveButton"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    m_layout->addWidget(save);
    m_layout->addWidget(cancel);
    connect(save, &QToolButton::clicked, this, &RowRenameEditor::commitRequested);
    connect(cancel, &QToolButton::clicked, this, &RowRenameEditor::cancelRequested);
    hide();
}

void RowRenameEditor::open(const QString& text)
{
    if (m_field)
        return;
    m_field = new InlineRenameField(text, this);
    m_layout->insertWidget(0, m_field, 1);
    connect(m_field, &QLineEdit::textEdited, this, &RowRenameEditor::textEdited);
    connect(m_field, &InlineRenameField::committed, this, &RowRenameEditor::commitRequested);
    connect(m_field, &InlineRenameField::cancelled, this, &RowRenameEditor::cancelRequested);
}

void RowRenameEditor::close()
{
    if (!m_field)
        return;
    m_field->disconnect(this);
    m_field->hide();
    m_field->deleteLater();
    m_field = nullptr;
}

void RowRenameEditor::setText(const QString& text)
{
    if (m_field)
        m_field->setBoundText(text);
}

void RowRenameEditor::hideEvent(QHideEvent* event)
{
    // Sent before the focus moves away from a field that is being hidden.
    // Only the editor's own hiding: a window that hides keeps the field open.
    if (isHidden())
        close();
    QWidget::hideEvent(event);
}
