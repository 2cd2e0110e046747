#include "views/sidebar/SearchBox.h"

#include "views/common/PlainButton.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>

SearchBox::SearchBox(QWidget* parent)
    : QWidget(parent)
    , m_field(new QLineEdit(this))
    , m_clear(new PlainButton(QStringLiteral("xmark.circle.fill"), 13, {ColorRole::secondary}, QString(), this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    auto* glass = new QLabel(this);
    glass->setPixmap(Icons::pixmap(QStringLiteral("magnifyingglass"), 13, Style::color(ColorRole::secondary),
                                   devicePixelRatioF()));
    m_field->setObjectName(QStringLiteral("searchField"));
    m_field->setPlaceholderText(QStringLiteral("Search recordings"));
    m_field->setAccessibleName(m_field->placeholderText());
    m_field->setFont(Style::font(12));
    m_field->setFrame(false);
    m_clear->setObjectName(QStringLiteral("clearSearchButton"));
    m_clear->setAccessibleName(QStringLiteral("Clear Search"));
    m_clear->hide();
    layout->addWidget(glass);
    layout->addWidget(m_field, 1);
    layout->addWidget(m_clear);

    connect(m_field, &QLineEdit::textEdited, this, &SearchBox::textEdited);
    connect(m_field, &QLineEdit::textChanged, this, [this](const QString& text) { m_clear->setVisible(!text.isEmpty()); });
    connect(m_field, &QLineEdit::returnPressed, this, &SearchBox::submitted);
    connect(m_clear, &QToolButton::clicked, this, &SearchBox::cleared);
}

void SearchBox::setText(const QString& text)
{
    if (m_field->text() != text)
        m_field->setText(text);
}

void SearchBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 8, 8);
    painter.fillPath(shape, palette().color(QPalette::Base));
}
