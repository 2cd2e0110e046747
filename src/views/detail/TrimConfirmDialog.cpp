#include "views/detail/TrimConfirmDialog.h"

#include "views/detail/PaneLabels.h"
#include "views/logic/TrimHandleRules.h"
#include "views/style/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TrimConfirmDialog::TrimConfirmDialog(double start, double end, QWidget* parent)
    : QDialog(parent)
    , m_message(TrimHandleRules::confirmationMessage(start, end))
    , m_saveAsNew(new QPushButton(QStringLiteral("Save as New Recording")))
    , m_replace(new QPushButton(QStringLiteral("Replace Original Recording")))
    , m_cancel(new QPushButton(QStringLiteral("Cancel")))
{
    setObjectName(QStringLiteral("trimConfirmDialog"));
    setWindowTitle(QStringLiteral("Trim Recording"));
    setModal(true);
    m_saveAsNew->setObjectName(QStringLiteral("trimSaveAsNewButton"));
    m_replace->setObjectName(QStringLiteral("trimReplaceButton"));
    m_cancel->setObjectName(QStringLiteral("trimDialogCancelButton"));

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 18, 20, 16);
    column->setSpacing(10);
    column->addWidget(PaneLabels::plain(QStringLiteral("Trim Recording"), Style::font(14, TextWeight::bold),
                                        Style::color(ColorRole::primary)));
    QLabel* text = PaneLabels::plain(m_message, Style::font(12), Style::color(ColorRole::secondary));
    text->setWordWrap(true);
    text->setMinimumWidth(340);
    column->addWidget(text);
    column->addSpacing(6);

    // The destructive choice reads red.
    QPalette red = m_replace->palette();
    red.setColor(QPalette::ButtonText, Style::color(ColorRole::red));
    m_replace->setPalette(red);
    m_saveAsNew->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch(1);
    for (QPushButton* button : {m_saveAsNew, m_replace, m_cancel}) {
        button->setFont(Style::font(12));
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    column->addLayout(buttons);

    connect(m_saveAsNew, &QPushButton::clicked, this, [this] {
        accept();
        Q_EMIT chosen(true);
    });
    connect(m_replace, &QPushButton::clicked, this, [this] {
        accept();
        Q_EMIT chosen(false);
    });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TrimConfirmDialog::message() const
{
    return m_message;
}
