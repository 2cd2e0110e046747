#include "app/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

void QtClipboard::setText(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}
