#include "views/badges/UpdateStatusBadge.h"

#include "models/AppVersion.h"
#include "services/updates/UpdateManager.h"
#include "views/badges/BadgeView.h"
#include "views/logic/StatusBadgeRules.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>

UpdateStatusBadge::UpdateStatusBadge(UpdateManager& updater, bool compact, QWidget* parent)
    : QWidget(parent)
    , m_updater(updater)
    , m_compact(compact)
    , m_badge(new BadgeView(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_badge);
    connect(&m_updater, &UpdateManager::stateChanged, this, &UpdateStatusBadge::refresh);
    connect(m_badge, &BadgeView::clicked, this, &UpdateStatusBadge::onClicked);
    refresh();
}

void UpdateStatusBadge::setCompact(bool compact)
{
    if (compact == m_compact)
        return;
    m_compact = compact;
    refresh();
}

void UpdateStatusBadge::refresh()
{
    const StatusBadgeRules::Look look =
        StatusBadgeRules::updateBadge(m_updater.state(), m_compact, AppVersion::currentVersion());
    m_badge->setLook(look);
    setVisible(look.form != StatusBadgeRules::Form::nothing);
}

void UpdateStatusBadge::onClicked()
{
    const UpdateState state = m_updater.state();
    if (state.kind == UpdateState::Kind::Available)
        m_updater.downloadAndPrepareUpdate(state.info);
    else if (state.kind == UpdateState::Kind::ReadyToInstall)
        showRestartAlert();
}

void UpdateStatusBadge::showRestartAlert()
{
    if (m_alert)
        return;
    const UpdateState state = m_updater.state();
    m_alert = new QMessageBox(window());
    m_alert->setAttribute(Qt::WA_DeleteOnClose);
    m_alert->setIcon(QMessageBox::Information);
    m_alert->setWindowTitle(QStringLiteral("Restart Nimbrel?"));
    m_alert->setText(QStringLiteral("Restart Nimbrel?"));
    // Release notes come from outside: shown as plain text, never as markup.
    m_alert->setTextFormat(Qt::PlainText);
    const StatusBadgeRules::RestartAlertText text = StatusBadgeRules::restartAlertText(state.info);
    m_alert->setInformativeText(text.message);
    if (!text.details.isEmpty())
        m_alert->setDetailedText(text.details); // plain text in a scrolling field
    // "&&": a single ampersand would mark a shortcut letter instead.
    QPushButton* apply = m_alert->addButton(QStringLiteral("Restart && Apply"), QMessageBox::AcceptRole);
    m_alert->addButton(QStringLiteral("Later"), QMessageBox::RejectRole);
    m_alert->setDefaultButton(apply);
    connect(m_alert, &QMessageBox::buttonClicked, this, [this, apply](QAbstractButton* button) {
        if (button == apply)
            m_updater.applyUpdateAndRelaunch();
    });
    m_alert->open();
}
