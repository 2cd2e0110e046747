#include "app/AboutPanel.h"

#include "app/TrayIcons.h"
#include "models/AppVersion.h"
#include "views/style/Style.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

namespace {

QLabel* centredLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter);
    label->setWordWrap(true);
    return label;
}

} // namespace

AboutPanel::Texts AboutPanel::texts()
{
    return {QStringLiteral("Nimbrel"), QStringLiteral("Version ") + AppVersion::currentVersion(),
            QStringLiteral("Build ") + AppVersion::currentBuild(),
            {QStringLiteral("Private, on-device voice memo and meeting recorder."),
             QStringLiteral("100% On-Device AI • Speech-to-Text & Executive Intelligence on Linux.")}};
}

AboutPanel* AboutPanel::showPanel()
{
    static QPointer<AboutPanel> panel;
    if (!panel)
        panel = new AboutPanel;
    panel->show();
    panel->raise();
    panel->activateWindow();
    return panel;
}

AboutPanel::AboutPanel()
{
    setObjectName(QStringLiteral("aboutPanel"));
    setAttribute(Qt::WA_DeleteOnClose);
    const Texts content = texts();
    setWindowTitle(QStringLiteral("About ") + content.name);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(32, 24, 32, 16);
    column->setSpacing(6);

    auto* icon = new QLabel(this);
    icon->setPixmap(TrayIcons::appIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignHCenter);
    column->addWidget(icon);
    column->addSpacing(6);

    QLabel* name = centredLabel(content.name, this);
    name->setObjectName(QStringLiteral("aboutName"));
    name->setFont(Style::font(16, TextWeight::bold));
    column->addWidget(name);

    QLabel* version = centredLabel(content.version + QStringLiteral(" (") + content.build + QLatin1Char(')'), this);
    version->setObjectName(QStringLiteral("aboutVersion"));
    version->setFont(Style::font(12));
    column->addWidget(version);
    column->addSpacing(8);

    QLabel* credits = centredLabel(content.credits.join(QLatin1Char('\n')), this);
    credits->setObjectName(QStringLiteral("aboutCredits"));
    credits->setFont(Style::font(11));
    QPalette palette = credits->palette();
    palette.setColor(QPalette::WindowText, Style::color(ColorRole::secondary));
    credits->setPalette(palette);
    column->addWidget(credits);
    column->addSpacing(8);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    column->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(480, 0)));
}
