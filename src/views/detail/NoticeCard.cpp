#include "views/detail/NoticeCard.h"

#include "views/common/ActivitySpinner.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

NoticeCard::NoticeCard(QWidget* parent)
    : QWidget(parent)
    , m_column(new QVBoxLayout(this))
    , m_headline(new QLabel)
    , m_explanation(new QLabel)
{
    m_column->setContentsMargins(32, 32, 32, 32);
    m_column->setSpacing(16);
    m_column->addStretch(1);
    for (QLabel* label : {m_headline, m_explanation}) {
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->hide();
        // Centred by stretches, not by alignment, so a wrapping label gets
        // its full width and the height that goes with it.
        auto* row = new QHBoxLayout;
        row->addStretch(1);
        row->addWidget(label, 100);
        row->addStretch(1);
        m_column->addLayout(row);
    }
    m_column->addStretch(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void NoticeCard::setSymbol(const QString& name, int size, const Tint& tint)
{
    auto* symbol = new QLabel;
    symbol->setObjectName(QStringLiteral("noticeSymbol"));
    symbol->setProperty("symbolName", name);
    symbol->setPixmap(Icons::pixmap(name, size, Style::color(tint), devicePixelRatioF()));
    setTop(symbol);
}

void NoticeCard::setTop(QWidget* widget)
{
    delete m_top;
    m_top = widget;
    m_column->insertWidget(1, widget, 0, Qt::AlignHCenter);
}

void NoticeCard::setInset(int inset)
{
    m_column->setContentsMargins(inset, inset, inset, inset);
}

void NoticeCard::setSpinner()
{
    // Scaled 1.2 times the platform's regular spinner.
    auto* spinner = new ActivitySpinner(38);
    spinner->setColor(Style::color(ColorRole::secondary));
    spinner->setObjectName(QStringLiteral("noticeSpinner"));
    setTop(spinner);
}

void NoticeCard::setHeadline(const QString& text, int pixelSize, int weight)
{
    QFont font = Style::font(pixelSize);
    font.setWeight(QFont::Weight(weight));
    m_headline->setFont(font);
    m_headline->setText(text);
    m_headline->show();
}

void NoticeCard::setExplanation(const QString& text, int pixelSize, int maxWidth, bool centred)
{
    m_explanation->setFont(Style::font(pixelSize));
    QPalette p = m_explanation->palette();
    p.setColor(QPalette::WindowText, Style::color(ColorRole::secondary));
    m_explanation->setPalette(p);
    // Without a width limit the text is one line, centred as a block.
    m_explanation->setAlignment(centred || maxWidth == 0 ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    m_explanation->setWordWrap(maxWidth > 0);
    if (maxWidth > 0)
        m_explanation->setMaximumWidth(maxWidth);
    m_explanation->setText(text);
    m_explanation->show();
}

void NoticeCard::addAction(QWidget* action, int spacingAbove)
{
    const int before = m_column->count() - 1; // above the bottom stretch
    if (spacingAbove > 0)
        m_column->insertSpacing(before, spacingAbove);
    m_column->insertWidget(m_column->count() - 1, action, 0, Qt::AlignHCenter);
}
