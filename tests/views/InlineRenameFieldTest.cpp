#include "support/QtPrinters.h"
#include "views/sidebar/InlineRenameField.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>

// The field alone, in a window of its own beside another field that can take the focus.
class RenameField : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("NIMBREL_NO_ANIMATIONS", "1");
        auto* layout = new QVBoxLayout(&m_window);
        m_other = new QLineEdit(&m_window);
        layout->addWidget(m_other);
        m_window.show();
        m_window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
    }

    InlineRenameField* show(const QString& text)
    {
        auto* field = new InlineRenameField(text, &m_window);
        m_window.layout()->addWidget(field);
        QObject::connect(field, &InlineRenameField::committed, [this] { ++commits; });
        QObject::connect(field, &InlineRenameField::cancelled, [this] { ++cancels; });
        field->show();
        return field;
    }

    void settle(InlineRenameField* field)
    {
        ASSERT_TRUE(QTest::qWaitFor([field] { return field->isReady(); }, 1000));
    }

    QWidget m_window;
    QLineEdit* m_other = nullptr;
    int commits = 0;
    int cancels = 0;
};

TEST_F(RenameField, TakesTheFocusWithItsTextSelectedAMomentAfterItIsShown)
{
    InlineRenameField* field = show("New Recording");
    EXPECT_FALSE(field->hasFocus());
    ASSERT_TRUE(QTest::qWaitFor([field] { return field->hasFocus(); }, 1000));
    EXPECT_EQ(field->selectedText(), "New Recording");
    EXPECT_FALSE(field->isReady());
    settle(field);

    // Typing replaces the selected text.
    QTest::keyClicks(field, "Standup");
    EXPECT_EQ(field->text(), "Standup");
}

TEST_F(RenameField, ReportsOnceWhateverEndsIt)
{
    struct Case {
        const char* name;
        bool waitUntilReady;
        std::function<void(InlineRenameField*, QLineEdit*)> end;
        int commits;
        int cancels;
    } cases[] = {
        {"Return before the field settles", false,
         [](InlineRenameField* f, QLineEdit*) { QTest::keyClick(f, Qt::Key_Return); }, 1, 0},
        {"Return, then the focus loss it leads to", true,
         [](InlineRenameField* f, QLineEdit* other) {
             QTest::keyClick(f, Qt::Key_Return);
             other->setFocus(Qt::MouseFocusReason);
         },
         1, 0},
        {"Return twice", false,
         [](InlineRenameField* f, QLineEdit*) {
             QTest::keyClick(f, Qt::Key_Enter);
             QTest::keyClick(f, Qt::Key_Return);
         },
         1, 0},
        {"Escape, then the focus goes", true,
         [](InlineRenameField* f, QLineEdit* other) {
             QTest::keyClick(f, Qt::Key_Escape);
             other->setFocus(Qt::MouseFocusReason);
         },
         0, 1},
        {"focus lost once settled", true,
         [](InlineRenameField*, QLineEdit* other) { other->setFocus(Qt::MouseFocusReason); }, 1, 0},
        {"a context menu takes the keyboard", true,
         [](InlineRenameField* f, QLineEdit*) {
             QFocusEvent out(QEvent::FocusOut, Qt::PopupFocusReason);
             QApplication::sendEvent(f, &out);
         },
         0, 0},
        {"arrow keys and deleting", true,
         [](InlineRenameField* f, QLineEdit*) {
             QTest::keyClick(f, Qt::Key_Left);
             QTest::keyClick(f, Qt::Key_Backspace);
         },
         0, 0},
    };
    for (const auto& c : cases) {
        commits = cancels = 0;
        InlineRenameField* field = show("Title");
        if (c.waitUntilReady)
            settle(field);
        c.end(field, m_other);
        QTest::qWait(20);
        EXPECT_EQ(commits, c.commits) << c.name;
        EXPECT_EQ(cancels, c.cancels) << c.name;
        delete field;
    }
}

TEST_F(RenameField, FocusLostBeforeItSettledLeavesItOpen)
{
    InlineRenameField* field = show("Title");
    ASSERT_TRUE(QTest::qWaitFor([field] { return field->hasFocus(); }, 1000));
    // A machine that stalled past the grace period saves here, as it should then.
    const bool settled = field->isReady();
    m_other->setFocus(Qt::MouseFocusReason);
    QTest::qWait(20);
    EXPECT_EQ(commits, settled ? 1 : 0);
    if (settled)
        return;
    EXPECT_TRUE(field->isVisible());
    field->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(cancels, 0);
}

TEST_F(RenameField, OwnersTextShowsOnlyWhileTheUserIsNotTyping)
{
    InlineRenameField* field = show("Title");
    settle(field);
    QTest::keyClicks(field, "Typed");
    field->setBoundText("Changed elsewhere");
    EXPECT_EQ(field->text(), "Typed");

    m_other->setFocus(Qt::MouseFocusReason);
    field->setBoundText("Changed elsewhere");
    EXPECT_EQ(field->text(), "Changed elsewhere");
}

TEST_F(RenameField, TakenDownBeforeItTookTheFocusItNeverDoes)
{
    InlineRenameField* hidden = show("Title");
    hidden->hide();
    InlineRenameField* deleted = show("Title");
    delete deleted;
    QTest::qWait(300);
    EXPECT_FALSE(hidden->hasFocus());
    EXPECT_FALSE(hidden->isReady());
    EXPECT_EQ(commits + cancels, 0);
}
