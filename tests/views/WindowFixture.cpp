#include "WindowFixture.h"

#include "views/logic/ActiveRowRules.h"
#include "views/logic/RecordingListModel.h"
#include "views/sidebar/SearchBox.h"
#include "views/sidebar/SidebarView.h"
#include "views/style/Style.h"
#include "views/transport/TransportControlsView.h"

#include <QApplication>
#include <QMenu>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

void WindowFixture::SetUp()
{
    qputenv("NIMBREL_NO_ANIMATIONS", "1");
    ViewModelFixture::SetUp();
    static bool styled = false;
    if (!styled) {
        Style::apply(*qApp);
        styled = true;
    }
}

void WindowFixture::TearDown()
{
    m_window.reset();
    ViewModelFixture::TearDown();
}

MainWindow& WindowFixture::makeWindow()
{
    makeViewModel();
    m_window = std::make_unique<MainWindow>(*m_vm);
    m_windowFocus->setMainWindow(m_window.get());
    m_window->show();
    m_window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    // The search field's first focus comes a moment after the window shows.
    pump(80);
    return *m_window;
}

std::unique_ptr<FocusService> WindowFixture::makeFocusService()
{
    auto focus = std::make_unique<WindowFocus>();
    m_windowFocus = focus.get();
    return focus;
}

bool WindowFixture::clickIntoSearch()
{
    QLineEdit* search = sidebar().searchBox()->field();
    QTest::mouseClick(search, Qt::LeftButton, Qt::NoModifier, search->rect().center());
    return waitFor([&] { return search->hasFocus(); });
}

SidebarView& WindowFixture::sidebar() const
{
    return *m_window->sidebar();
}

TransportControlsView& WindowFixture::transport() const
{
    return *m_window->transportBar();
}

QStringList WindowFixture::rowTitles() const
{
    QStringList titles;
    for (const RecordingItem& item : sidebar().listedRecordings())
        titles << item.title;
    return titles;
}

namespace {

// A point inside a painted part, away from its edges.
QPoint inside(const QRect& part, bool wholeRow)
{
    return wholeRow ? QPoint(part.left() + 4, part.center().y()) : part.center();
}

} // namespace

RecordingRowRules::State WindowFixture::rowState(const RecordingItem& item) const
{
    const int row = sidebar().rowOf(item.id);
    EXPECT_GE(row, 0) << item.title.toStdString();
    return row < 0 ? RecordingRowRules::State{} : sidebar().listModel().state(row);
}

void WindowFixture::clickRow(const RecordingItem& item, RecordingList::Part part)
{
    const QRect area = sidebar().list()->partRect(sidebar().rowOf(item.id), part);
    ASSERT_FALSE(area.isEmpty()) << item.title.toStdString();
    QTest::mouseClick(sidebar().list()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      inside(area, part == RecordingList::Part::row));
}

void WindowFixture::doubleClickRow(const RecordingItem& item)
{
    const QRect area = sidebar().list()->partRect(sidebar().rowOf(item.id), RecordingList::Part::row);
    ASSERT_FALSE(area.isEmpty()) << item.title.toStdString();
    // As a user's: a click, then the double click (the first click selects too).
    QTest::mouseClick(sidebar().list()->viewport(), Qt::LeftButton, Qt::NoModifier, inside(area, true));
    QTest::mouseDClick(sidebar().list()->viewport(), Qt::LeftButton, Qt::NoModifier, inside(area, true));
}

InlineRenameField* WindowFixture::renameField(const RecordingItem& item) const
{
    return sidebar().renameField(item.id);
}

bool WindowFixture::isEditing(const RecordingItem& item) const
{
    return sidebar().editingRecordingID() == item.id;
}

QString WindowFixture::quote(const RecordingItem& item) const
{
    const int row = sidebar().rowOf(item.id);
    return row < 0 ? QString() : sidebar().listModel().quote(row);
}

void WindowFixture::rowMenu(const RecordingItem& item, QMenu& menu) const
{
    sidebar().populateRowMenu(item.id, menu);
}

bool WindowFixture::activeRowShown() const
{
    return sidebar().listModel().hasActiveRow();
}

QString WindowFixture::activeTitle() const
{
    const auto& active = sidebar().listModel().activeRow();
    return active ? active->title : QString();
}

QString WindowFixture::activeStatus() const
{
    return ActiveRowRules::statusLine(activePaused()).text;
}

QString WindowFixture::activeDuration() const
{
    const auto& active = sidebar().listModel().activeRow();
    return active ? ActiveRowRules::formattedDuration(active->duration) : QString();
}

bool WindowFixture::activePaused() const
{
    const auto& active = sidebar().listModel().activeRow();
    return active && active->isPaused;
}

void WindowFixture::clickActive(RecordingList::Part part)
{
    const QRect area = sidebar().list()->partRect(0, part);
    ASSERT_TRUE(activeRowShown());
    ASSERT_FALSE(area.isEmpty());
    QTest::mouseClick(sidebar().list()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      inside(area, part == RecordingList::Part::row));
}

void WindowFixture::doubleClickActive()
{
    ASSERT_TRUE(activeRowShown());
    const QPoint point = inside(sidebar().list()->partRect(0, RecordingList::Part::row), true);
    QTest::mouseClick(sidebar().list()->viewport(), Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseDClick(sidebar().list()->viewport(), Qt::LeftButton, Qt::NoModifier, point);
}

InlineRenameField* WindowFixture::activeRenameField() const
{
    return sidebar().activeRenameField();
}

void WindowFixture::activeMenu(QMenu& menu) const
{
    sidebar().populateActiveMenu(menu);
}

void WindowFixture::click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(4, widget->height() / 2));
}

void WindowFixture::doubleClick(QWidget* widget)
{
    // As a user's: a click, then the double click (the first click selects too).
    const QPoint point(4, widget->height() / 2);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, point);
}

void WindowFixture::pump(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QTest::qWait(5);
}

QWidget* WindowFixture::focused() const
{
    return QApplication::focusWidget();
}
