// The settings view in the settings window, as the app hosts it: "Done"
// closes the window, and the next opening starts on General.
#include "ViewModelFixture.h"

#include "app/SettingsContent.h"
#include "app/SettingsWindowController.h"
#include "views/settings/SettingsServices.h"
#include "views/settings/SettingsTabButton.h"
#include "views/settings/SettingsView.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace {

class QuietServices : public SettingsServices {
public:
    void setMeetingDetectionEnabled(bool) override {}
    void setLaunchAtLogin(bool) override {}
    void checkForUpdates() override {}
    QString recordingsFolder() const override { return QStringLiteral("/tmp"); }
    void showFolder(const QString&) override {}
};

SettingsView* shownView(const SettingsWindowController& controller)
{
    return controller.window() ? controller.window()->findChild<SettingsView*>() : nullptr;
}

} // namespace

using SettingsContentTest = ViewModelFixture;

TEST_F(SettingsContentTest, DoneClosesTheWindowAndTheNextOpeningShowsGeneral)
{
    RecordingViewModel& vm = makeViewModel();
    QuietServices services;
    SettingsWindowController controller(*m_settings);
    controller.setContentFactory(SettingsContent::factory(*m_settings, services));

    controller.show(vm);
    SettingsView* view = shownView(controller);
    ASSERT_NE(view, nullptr);
    QTest::mouseClick(view->tabButton(SettingsRules::SettingsTab::storage), Qt::LeftButton);
    ASSERT_EQ(view->selectedTab(), SettingsRules::SettingsTab::storage);
    QTest::mouseClick(view->doneButton(), Qt::LeftButton);
    EXPECT_EQ(controller.window(), nullptr);
    settle();

    controller.show(vm);
    SettingsView* reopened = shownView(controller);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->selectedTab(), SettingsRules::SettingsTab::general);

    // Return where no control takes it closes the window too.
    QTest::keyClick(reopened, Qt::Key_Return);
    EXPECT_EQ(controller.window(), nullptr);
}
