#include "WindowFixture.h"

#include "views/sidebar/ActiveRecordingRowView.h"
#include "views/sidebar/RecordingRowView.h"
#include "views/sidebar/SidebarView.h"
#include "views/style/Style.h"
#include "views/transport/TransportControlsView.h"

#include <QApplication>
#include <QElapsedTimer>
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
    m_window->show();
    m_window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    // The search field's first focus comes a moment after the window shows.
    pump(80);
    return *m_window;
}

SidebarView& WindowFixture::sidebar() const
{
    return *m_window->sidebar();
}

TransportControlsView& WindowFixture::transport() const
{
    return *m_window->transportBar();
}

RecordingRowView* WindowFixture::row(const RecordingItem& item) const
{
    return sidebar().rowFor(item.id);
}

ActiveRecordingRowView& WindowFixture::activeRow() const
{
    return *sidebar().activeRow();
}

QStringList WindowFixture::rowTitles() const
{
    QStringList titles;
    for (RecordingRowView* view : sidebar().visibleRows())
        titles << view->item().title;
    return titles;
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
