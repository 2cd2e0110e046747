#include "views/detail/DetailPanel.h"

#include "views/style/Style.h"
#include "views/common/ElidedLabel.h"
#include "views/detail/RoundedPanel.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

DetailPanel::DetailPanel(QWidget* parent)
    : QWidget(parent)
    , m_title(new ElidedLabel)
    , m_subtitle(new QLabel)
    , m_header(new QHBoxLayout)
    , m_content(new QStackedWidget)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 16, 16, 16);
    auto* panel = new RoundedPanel({}, 10);
    panel->setObjectName(QStringLiteral("detailPanel"));
    panel->setPaletteFill(QPalette::Base, 0.4);
    outer->addWidget(panel);

    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_header->setContentsMargins(24, 14, 24, 14);
    m_header->setSpacing(12);
    auto* titles = new QVBoxLayout;
    titles->setSpacing(2);
    m_title->setObjectName(QStringLiteral("panelTitle"));
    m_title->setFont(Style::font(16, TextWeight::bold));
    m_subtitle->setObjectName(QStringLiteral("panelSubtitle"));
    m_subtitle->setTextFormat(Qt::PlainText);
    m_subtitle->setFont(Style::font(11));
    QPalette secondary = m_subtitle->palette();
    secondary.setColor(QPalette::WindowText, Style::color(ColorRole::secondary));
    m_subtitle->setPalette(secondary);
    m_subtitle->hide();
    titles->addWidget(m_title);
    titles->addWidget(m_subtitle);
    m_header->addLayout(titles, 1);
    column->addLayout(m_header);

    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Plain);
    QPalette dividerPalette = divider->palette();
    dividerPalette.setColor(QPalette::WindowText, Style::color(Tint{ColorRole::primary, 0.1}));
    divider->setPalette(dividerPalette);
    column->addWidget(divider);
    column->addWidget(m_content, 1);
}

void DetailPanel::setTitle(const QString& title)
{
    m_title->setText(title);
    m_title->setToolTip(title);
}

void DetailPanel::setSubtitle(const std::optional<QString>& subtitle)
{
    m_subtitle->setVisible(subtitle.has_value());
    m_subtitle->setText(subtitle.value_or(QString()));
}

void DetailPanel::addHeaderWidget(QWidget* widget)
{
    m_header->addWidget(widget, 0, Qt::AlignVCenter);
}
