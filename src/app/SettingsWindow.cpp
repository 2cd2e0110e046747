#include "app/SettingsWindow.h"

#include "app/SettingsWindowController.h"

#include <QCloseEvent>
#include <QVBoxLayout>

SettingsWindow::SettingsWindow(QWidget* content)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("settingsWindow"));
    setWindowTitle(SettingsWindowController::windowTitle);
    setProperty(SettingsWindowController::autosaveProperty, SettingsWindowController::autosaveName);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    // Not resizable: the content has one size.
    setFixedSize(SettingsWindowController::contentSize);
}

void SettingsWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}

void SettingsWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (isVisible())
        Q_EMIT moved();
}
