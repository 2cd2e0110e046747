// The application's command shortcuts whatever widget has the keyboard.

#include "app/AppCommands.h"
#include "app/SettingsWindowController.h"
#include "common/Settings.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(AppCommands, ShortcutsReachTheirCommandWhileATextFieldHasTheKeyboard)
{
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("settings.ini")));
    SettingsWindowController settingsWindow(settings);
    int checks = 0;
    AppCommands commands(settingsWindow, [&checks] { ++checks; });
    QWidget window;
    auto* column = new QVBoxLayout(&window);
    auto* search = new QLineEdit(&window);
    column->addWidget(search);
    QMenu menu;
    commands.install(menu, window);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    search->setFocus();
    ASSERT_TRUE(search->hasFocus());

    // Ctrl+U erases the line in a line edit on X11; here it is the command's.
    search->setText(QStringLiteral("standup"));
    QTest::keyClick(search, Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(search->text(), QStringLiteral("standup"));

    // The field's own keys stay its own.
    QTest::keyClick(search, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(search->selectedText(), QStringLiteral("standup"));
    QTest::keyClicks(search, QStringLiteral("x"));
    EXPECT_EQ(search->text(), QStringLiteral("x"));
    EXPECT_EQ(checks, 1);
}

} // namespace
