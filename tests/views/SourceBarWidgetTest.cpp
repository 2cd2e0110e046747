// The source control bar over a view model on fakes, offscreen.
#include "audio/SystemAudioPermission.h"
#include "common/SettingsKeys.h"
#include "StyledViewFixture.h"
#include "support/QtPrinters.h"
#include "viewmodels/RecorderViewModel.h"
#include "views/badges/UpdateStatusBadge.h"
#include "views/badges/WhisperStatusBadge.h"
#include "views/sourcebar/EchoGuardButton.h"
#include "views/sourcebar/GainControl.h"
#include "views/sourcebar/LevelMeterView.h"
#include "views/sourcebar/SourceBadgeView.h"
#include "views/sourcebar/SourceControlBar.h"
#include "views/window/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <vector>

namespace {

// A desktop that asks before system audio may be recorded.
class FakePermission : public SystemAudioPermission {
public:
    bool isGranted() const override { return granted; }
    void request() override
    {
        ++requests;
        granted = grantOnRequest;
    }

    bool granted = false;
    bool grantOnRequest = false;
    int requests = 0;
};

class SourceBar : public StyledViewFixture {
protected:
    void TearDown() override
    {
        m_bar.reset();
        StyledViewFixture::TearDown();
    }

    SourceControlBar& makeBar()
    {
        if (!m_vm)
            makeViewModel();
        m_bar = std::make_unique<SourceControlBar>(m_vm->recorder(), SourceControlBar::Services{&m_permission});
        return *m_bar;
    }

    // Laid out and shown at `width`, as the window would give it.
    SourceControlBar& showBar(int width)
    {
        makeBar();
        m_bar->resize(width, 60);
        m_bar->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_bar.get()));
        settle();
        return *m_bar;
    }

    bool shown(QWidget* widget) const { return widget->isVisibleTo(m_bar.get()); }

    QStringList pickerRows() const
    {
        QStringList rows;
        for (int i = 0; i < m_bar->micPicker()->count(); ++i)
            rows << m_bar->micPicker()->itemText(i);
        return rows;
    }

    FakePermission m_permission{};
    std::unique_ptr<SourceControlBar> m_bar;
};

} // namespace

TEST_F(SourceBar, BeforeItsFirstMeasurementTheBarIsCompact)
{
    SourceControlBar& bar = makeBar();
    EXPECT_EQ(bar.barWidth(), 1200);
    EXPECT_EQ(bar.widthClass(), SourceBarRules::WidthClass::compact);
    EXPECT_TRUE(bar.compactBadges());
    EXPECT_EQ(bar.micToggle()->text(), "Microphone");
    EXPECT_EQ(bar.systemToggle()->text(), "System Audio");
    EXPECT_TRUE(shown(bar.micGain()->percentage()));
    EXPECT_FALSE(shown(bar.internalMixNote()));
    EXPECT_TRUE(bar.sourceBadge()->isDotOnly());
    EXPECT_EQ(bar.sourceBadge()->toolTip(), "Mic + System Audio");
}

TEST_F(SourceBar, ThreeWidthsShowTheirLabelsAndPercentages)
{
    const struct {
        int width;
        SourceBarRules::WidthClass widthClass;
        const char* mic;
        const char* system;
        bool percentage;
        bool internalMix;
        bool capsule;
        const char* echo;
    } cases[] = {
        {1300, SourceBarRules::WidthClass::full, "Microphone", "System Audio", true, true, true, "Echo Guard"},
        // At the class's lower bound the speech model's download badge
        // leaves no room for the "(Internal Mix)" note.
        {1220, SourceBarRules::WidthClass::full, "Microphone", "System Audio", true, false, true, "Echo Guard"},
        {1219, SourceBarRules::WidthClass::compact, "Microphone", "System Audio", true, false, false, "Echo Guard"},
        {1060, SourceBarRules::WidthClass::compact, "Microphone", "System Audio", true, false, false, "Echo Guard"},
        {1059, SourceBarRules::WidthClass::veryCompact, "Mic", "System", false, false, false, "Echo"},
        {960, SourceBarRules::WidthClass::veryCompact, "Mic", "System", false, false, false, "Echo"},
    };
    makeViewModel();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        SourceControlBar& bar = showBar(c.width);
        EXPECT_EQ(bar.barWidth(), c.width);
        EXPECT_EQ(bar.widthClass(), c.widthClass);
        EXPECT_EQ(bar.micToggle()->text(), c.mic);
        EXPECT_EQ(bar.systemToggle()->text(), c.system);
        EXPECT_EQ(shown(bar.micGain()->percentage()), c.percentage);
        EXPECT_EQ(shown(bar.systemGain()->percentage()), c.percentage);
        EXPECT_EQ(shown(bar.internalMixNote()), c.internalMix);
        EXPECT_EQ(bar.sourceBadge()->isDotOnly(), !c.capsule);
        EXPECT_EQ(bar.echoGuardButton()->text(), c.echo);
        EXPECT_EQ(bar.compactBadges(), c.widthClass != SourceBarRules::WidthClass::full);
    }
}

TEST_F(SourceBar, ResizingAcrossABoundaryRelaysTheBarOut)
{
    SourceControlBar& bar = showBar(1300);
    int changes = 0;
    QObject::connect(&bar, &SourceControlBar::widthClassChanged, [&] { ++changes; });
    bar.resize(1000, 60);
    settle();
    EXPECT_EQ(bar.widthClass(), SourceBarRules::WidthClass::veryCompact);
    EXPECT_EQ(bar.micToggle()->text(), "Mic");
    bar.resize(1010, 60);
    settle();
    EXPECT_EQ(changes, 1);
}

TEST_F(SourceBar, TogglingTheSourcesShowsAndHidesTheirControls)
{
    SourceControlBar& bar = showBar(1300);
    const struct {
        bool mic, system;
        const char* badge;
    } cases[] = {
        {false, false, "No Source Selected"},
        {true, false, "Mic Only"},
        {false, true, "System Audio Only"},
        {true, true, "Mic + System Audio"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.badge);
        // Through the checkboxes, as the user would.
        if (bar.micToggle()->isChecked() != c.mic)
            QTest::mouseClick(bar.micToggle(), Qt::LeftButton, {}, QPoint(6, bar.micToggle()->height() / 2));
        if (bar.systemToggle()->isChecked() != c.system)
            QTest::mouseClick(bar.systemToggle(), Qt::LeftButton, {}, QPoint(6, bar.systemToggle()->height() / 2));
        EXPECT_EQ(m_vm->recorder().isMicEnabled(), c.mic);
        EXPECT_EQ(m_vm->recorder().isSystemAudioEnabled(), c.system);
        EXPECT_EQ(m_recorder->micEnabled, c.mic);
        EXPECT_EQ(m_recorder->systemAudioEnabled, c.system);

        EXPECT_TRUE(shown(bar.micToggle()));
        EXPECT_TRUE(shown(bar.systemToggle()));
        for (QWidget* widget : {static_cast<QWidget*>(bar.micPicker()), static_cast<QWidget*>(bar.micGain()),
                                static_cast<QWidget*>(bar.micMeter())})
            EXPECT_EQ(shown(widget), c.mic) << widget->objectName().toStdString();
        for (QWidget* widget : {static_cast<QWidget*>(bar.internalMixNote()), static_cast<QWidget*>(bar.systemGain()),
                                static_cast<QWidget*>(bar.systemMeter())})
            EXPECT_EQ(shown(widget), c.system) << widget->objectName().toStdString();
        EXPECT_EQ(shown(bar.echoGuardButton()), c.mic && c.system);
        EXPECT_FALSE(shown(bar.permissionButton()));
        EXPECT_EQ(bar.sourceBadge()->text(), c.badge);
    }
}

TEST_F(SourceBar, StatusBadgesSitBetweenEchoGuardAndTheSourceBadge)
{
    SourceControlBar& bar = showBar(1300);
    // No speech model in the test's home: its badge offers the download.
    ASSERT_TRUE(shown(bar.whisperBadge()));
    EXPECT_LT(bar.echoGuardButton()->geometry().right(), bar.whisperBadge()->geometry().left());
    EXPECT_LT(bar.whisperBadge()->geometry().right(), bar.sourceBadge()->geometry().left());
    EXPECT_EQ(bar.layout()->indexOf(bar.updateBadge()) + 1, bar.layout()->indexOf(bar.whisperBadge()));
}

TEST_F(SourceBar, EchoGuardTwoClicksRestoreTheValueAndStoreEachOne)
{
    SourceControlBar& bar = showBar(1300);
    ASSERT_TRUE(m_vm->recorder().isEchoGuardEnabled());
    QTest::mouseClick(bar.echoGuardButton(), Qt::LeftButton);
    EXPECT_FALSE(m_vm->recorder().isEchoGuardEnabled());
    EXPECT_FALSE(m_recorder->echoGuard);
    EXPECT_FALSE(bar.echoGuardButton()->isGuardOn());
    EXPECT_EQ(m_settings->value(SettingsKeys::echoGuardEnabled).toBool(), false);
    QTest::mouseClick(bar.echoGuardButton(), Qt::LeftButton);
    EXPECT_TRUE(m_vm->recorder().isEchoGuardEnabled());
    EXPECT_TRUE(m_recorder->echoGuard);
    EXPECT_TRUE(bar.echoGuardButton()->isGuardOn());
    EXPECT_EQ(m_settings->value(SettingsKeys::echoGuardEnabled).toBool(), true);
}

TEST_F(SourceBar, GainSlidersWriteTheViewModelAndShowPercentages)
{
    SourceControlBar& bar = showBar(1300);
    EXPECT_EQ(bar.micGain()->percentage()->text(), "140%");
    EXPECT_EQ(bar.systemGain()->percentage()->text(), "90%");
    EXPECT_EQ(bar.micGain()->toolTip(), "Microphone volume gain (Current: 140%)");

    bar.micGain()->slider()->setValue(bar.micGain()->slider()->minimum());
    EXPECT_EQ(m_vm->recorder().micVolume(), 0.0f);
    EXPECT_EQ(m_recorder->micGain, 0.0f);
    EXPECT_EQ(bar.micGain()->percentage()->text(), "0%");
    bar.micGain()->slider()->setValue(bar.micGain()->slider()->maximum());
    EXPECT_EQ(bar.micGain()->percentage()->text(), "250%");
    bar.systemGain()->slider()->setValue(bar.systemGain()->slider()->maximum());
    EXPECT_EQ(m_vm->recorder().sysVolume(), 2.0f);
    EXPECT_EQ(bar.systemGain()->percentage()->text(), "200%");
    EXPECT_EQ(bar.systemGain()->toolTip(), "System Audio volume gain (Current: 200%)");

    // Below the settings window's lower bound, stored as it is.
    bar.micGain()->slider()->setValue(300);
    EXPECT_FLOAT_EQ(m_vm->recorder().micVolume(), 0.3f);
    EXPECT_FLOAT_EQ(m_settings->value(SettingsKeys::micVolume).toFloat(), 0.3f);

    // A change made elsewhere moves the bar's slider without writing back.
    m_vm->recorder().setMicVolume(1.0f);
    EXPECT_EQ(bar.micGain()->percentage()->text(), "100%");
    EXPECT_EQ(bar.micGain()->slider()->value(), 1000);
}

TEST_F(SourceBar, DevicePickerFollowsTheDeviceList)
{
    SourceControlBar& bar = showBar(1300);
    EXPECT_EQ(pickerRows(), (QStringList{"Built-in", "USB Mic"}));
    EXPECT_EQ(bar.micPicker()->currentText(), "Built-in");

    bar.micPicker()->activated(1);
    EXPECT_EQ(m_vm->recorder().selectedMicID(), "usb");
    ASSERT_FALSE(m_recorder->micUpdates.isEmpty());
    EXPECT_EQ(m_recorder->micUpdates.last()->id, "usb");

    // Unplugged: the manager falls back to the default, and the picker follows.
    m_devices->mics = {{"builtin", "Built-in", true}, {"headset", "Headset", false}};
    Q_EMIT m_devices->availableMicsChanged();
    m_devices->choose(QStringLiteral("builtin"));
    settle();
    EXPECT_EQ(pickerRows(), (QStringList{"Built-in", "Headset"}));
    EXPECT_EQ(bar.micPicker()->currentText(), "Built-in");

    m_devices->mics.clear();
    Q_EMIT m_devices->availableMicsChanged();
    m_devices->choose(QString());
    settle();
    EXPECT_EQ(pickerRows(), QStringList{"No Microphone"});
    EXPECT_EQ(bar.micPicker()->currentIndex(), 0);
    bar.micPicker()->activated(0);
    EXPECT_EQ(m_vm->recorder().selectedMicID(), QString());

    // The server goes away: the picker and the badge say so, and come back with it.
    m_devices->mics = {{"builtin", "Built-in", true}};
    m_devices->choose(QStringLiteral("builtin"));
    m_devices->setReachable(false);
    settle();
    EXPECT_EQ(pickerRows(), QStringList{"No Sound Server"});
    EXPECT_EQ(bar.micPicker()->currentText(), "No Sound Server");
    EXPECT_EQ(bar.sourceBadge()->text(), "No Sound Server");
    m_devices->setReachable(true);
    settle();
    EXPECT_EQ(pickerRows(), QStringList{"Built-in"});
    EXPECT_EQ(bar.micPicker()->currentText(), "Built-in");
    EXPECT_EQ(bar.sourceBadge()->text(), "Mic + System Audio");
}

TEST_F(SourceBar, MetersFollowTheLevelsOfEnabledSources)
{
    SourceControlBar& bar = showBar(1300);
    m_recorder->emitLevels(0.5f, 1.7f);
    settle();
    EXPECT_DOUBLE_EQ(bar.micMeter()->shownFillWidth(), bar.micMeter()->width() * 0.5);
    EXPECT_DOUBLE_EQ(bar.systemMeter()->shownFillWidth(), bar.systemMeter()->width());
    m_vm->recorder().setIsSystemAudioEnabled(false);
    EXPECT_EQ(bar.systemMeter()->shownFillWidth(), 0);
    m_recorder->emitLevels(0, 0);
    settle();
    EXPECT_EQ(bar.micMeter()->shownFillWidth(), 0);
}

TEST_F(SourceBar, PermissionButtonAsksAndGoesOnceGranted)
{
    makeViewModel();
    // Linux lets system audio be recorded without asking.
    EXPECT_FALSE(m_vm->recorder().showPermissionBanner());

    SourceControlBar& bar = showBar(1300);
    m_vm->recorder().setShowPermissionBanner(true);
    EXPECT_TRUE(shown(bar.permissionButton()));
    m_vm->recorder().setIsSystemAudioEnabled(false);
    EXPECT_FALSE(shown(bar.permissionButton()));
    m_vm->recorder().setIsSystemAudioEnabled(true);

    bar.permissionButton()->click();
    EXPECT_EQ(m_permission.requests, 1);
    EXPECT_TRUE(shown(bar.permissionButton()));
    m_permission.grantOnRequest = true;
    bar.permissionButton()->click();
    EXPECT_EQ(m_permission.requests, 2);
    EXPECT_FALSE(m_vm->recorder().showPermissionBanner());
    EXPECT_FALSE(shown(bar.permissionButton()));
}

TEST_F(SourceBar, NeverWidensTheWindowBeyondItsMinimum)
{
    makeViewModel();
    MainWindow window(*m_vm);
    window.resize(960, 600);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    settle();
    EXPECT_EQ(window.width(), 960);
    EXPECT_LE(window.minimumSizeHint().width(), 960);
    SourceControlBar* bar = window.sourceControlBar();
    ASSERT_NE(bar, nullptr);
    // The bar takes the row but for the window's menu button at its end.
    const int menuButtonLeft = window.menuButton()->mapTo(&window, QPoint(0, 0)).x();
    EXPECT_EQ(bar->mapTo(&window, QPoint(0, 0)).x(), 0);
    EXPECT_LE(bar->width(), menuButtonLeft);
    EXPECT_GE(bar->width(), 960 - 48);
    EXPECT_EQ(bar->widthClass(), SourceBarRules::WidthClass::veryCompact);
    // Everything of the narrowest form fits inside.
    for (QWidget* widget : {static_cast<QWidget*>(bar->micToggle()), static_cast<QWidget*>(bar->sourceBadge())}) {
        const QRect inBar(widget->mapTo(bar, QPoint(0, 0)), widget->size());
        EXPECT_TRUE(bar->rect().contains(inBar)) << widget->objectName().toStdString();
    }
}

namespace {

QString nameOf(const QWidget* widget)
{
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

// Where the bar's shown pieces overlap one another or stick out of what
// holds them: each container's children against one another and against the
// container's own rectangle. Controls' insides (a combo box's parts) are
// theirs to arrange.
QStringList overlapsIn(QWidget* root)
{
    QStringList found;
    const std::function<void(QWidget*)> visit = [&](QWidget* parent) {
        QList<QWidget*> children;
        for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!child->isWindow() && child->isVisibleTo(root))
                children.append(child);
        for (qsizetype i = 0; i < children.size(); ++i) {
            const QRect area = children[i]->geometry();
            if (!parent->rect().contains(area))
                found << QStringLiteral("%1 leaves %2").arg(nameOf(children[i]), nameOf(parent));
            for (qsizetype j = i + 1; j < children.size(); ++j)
                if (area.intersects(children[j]->geometry()))
                    found << QStringLiteral("%1 overlaps %2").arg(nameOf(children[i]), nameOf(children[j]));
            if (children[i]->layout())
                visit(children[i]);
        }
    };
    visit(root);
    return found;
}

} // namespace

TEST_F(SourceBar, NothingOverlapsAtAnyWidthTheWindowAllows)
{
    makeViewModel();
    // A device name longer than the picker's widest form.
    m_devices->mics = {{"analog", "Family 17h/19h HD Audio Controller Analog Stereo", true}};
    Q_EMIT m_devices->availableMicsChanged();
    m_devices->choose(QStringLiteral("analog"));
    MainWindow window(*m_vm);
    window.resize(1600, 680);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    SourceControlBar* bar = window.sourceControlBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(m_vm->recorder().isMicEnabled() && m_vm->recorder().isSystemAudioEnabled());
    ASSERT_TRUE(shown(bar->whisperBadge()));

    // Narrowing and widening, across every class boundary of the bar (the
    // window's menu button takes the rest of the row).
    std::vector<int> widths;
    for (int width = 1600; width >= 960; width -= 8)
        widths.push_back(width);
    for (int width = 960; width <= 1600; width += 13)
        widths.push_back(width);
    const auto sweep = [&] {
        for (int width : widths) {
            window.resize(width, 680);
            settle();
            SCOPED_TRACE(testing::Message() << "window " << width << ", bar " << bar->width());
            ASSERT_EQ(window.width(), width);
            EXPECT_EQ(overlapsIn(bar), QStringList());
            EXPECT_LT(bar->mapTo(&window, QPoint(bar->width() - 1, 0)).x(),
                      window.menuButton()->mapTo(&window, QPoint(0, 0)).x());
        }
    };
    sweep();

    // A wider system-audio group than the class was measured for: the
    // optional notes make room, and come back with the room.
    m_vm->recorder().setShowPermissionBanner(true);
    ASSERT_TRUE(shown(bar->permissionButton()));
    sweep();
    window.resize(1268, 680);
    settle();
    EXPECT_EQ(bar->widthClass(), SourceBarRules::WidthClass::full);
    EXPECT_FALSE(shown(bar->internalMixNote()));
    window.resize(1600, 680);
    settle();
    EXPECT_TRUE(shown(bar->internalMixNote()));
    EXPECT_TRUE(shown(bar->micGain()->percentage()));
}
