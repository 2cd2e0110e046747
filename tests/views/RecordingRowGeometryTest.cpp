#include "views/logic/ActiveRowGeometry.h"
#include "views/logic/RecordingRowGeometry.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

const RecordingRowGeometry::Metrics rowMetrics{16, 14, 14};
const ActiveRowGeometry::Metrics activeMetrics{16, 13};

} // namespace

// The painted parts and the click areas come from one description: every
// button lies inside the row, apart from the text, and only while it is shown.
TEST(RecordingRowGeometry, PartsAndTheirClickAreas)
{
    using Part = RecordingRowGeometry::Part;
    struct Case {
        const char* name;
        RecordingRowGeometry::Content content;
        qreal height;
    } cases[] = {
        {"plain", {false, false, true}, 6 + 16 + 4 + 14 + 6 + 8},
        {"with a quotation", {false, true, true}, 6 + 16 + 4 + 14 + 4 + 1 + 14 + 6 + 8},
        {"renaming", {true, false, false}, 6 + 24 + 4 + 14 + 6 + 8},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RecordingRowGeometry::cellHeight(rowMetrics, c.content), c.height) << c.name;
        const QRectF cell(0, 100, 280, c.height);
        const RecordingRowGeometry row(cell, rowMetrics, c.content);
        EXPECT_EQ(row.background(), QRectF(8, 104, 264, c.height - 8)) << c.name;
        EXPECT_EQ(row.titleLine().top(), 110) << c.name;
        EXPECT_EQ(row.quoteLine().isEmpty(), !c.content.hasQuote) << c.name;
        EXPECT_LE(row.detailLine().bottom(), row.background().bottom() - 6) << c.name;

        // The gap between rows belongs to no row.
        EXPECT_EQ(row.partAt({4, 120}), Part::none) << c.name;
        EXPECT_EQ(row.partAt({140, 102}), Part::none) << c.name;
        EXPECT_EQ(row.partAt({20, 120}), Part::row) << c.name;
        if (!c.content.showsButtons) {
            EXPECT_TRUE(row.renameButton().isEmpty()) << c.name;
            EXPECT_EQ(row.titleLine().right(), row.background().right() - 8) << c.name;
            continue;
        }
        EXPECT_EQ(row.exportButton().right(), row.background().right() - 8) << c.name;
        EXPECT_EQ(row.renameButton().right() + 8, row.exportButton().left()) << c.name;
        EXPECT_EQ(row.exportButton().center().y(), row.background().center().y()) << c.name;
        EXPECT_LE(row.titleLine().right() + 8, row.renameButton().left()) << c.name;
        EXPECT_EQ(row.partAt(row.renameButton().center()), Part::renameButton) << c.name;
        EXPECT_EQ(row.partAt(row.exportButton().center()), Part::exportButton) << c.name;
    }
}

// In merge mode the check box leads the row and the text moves right of it;
// only a box that can be ticked is a click area of its own.
TEST(RecordingRowGeometry, MergeCheckBoxAtTheLeadingEdge)
{
    using Part = RecordingRowGeometry::Part;
    for (const bool takesClicks : {true, false}) {
        RecordingRowGeometry::Content content;
        content.showsButtons = false;
        content.hasCheckBox = true;
        content.checkBoxTakesClicks = takesClicks;
        const qreal height = RecordingRowGeometry::cellHeight(rowMetrics, content);
        const RecordingRowGeometry row(QRectF(0, 0, 280, height), rowMetrics, content);
        EXPECT_EQ(row.checkBox(), QRectF(16, row.background().center().y() - 9, 18, 18)) << takesClicks;
        EXPECT_EQ(row.titleLine().left(), row.checkBox().right() + 8) << takesClicks;
        EXPECT_EQ(row.detailLine().left(), row.titleLine().left()) << takesClicks;
        EXPECT_EQ(row.partAt(row.checkBox().center()), takesClicks ? Part::checkBox : Part::row) << takesClicks;
        EXPECT_EQ(row.partAt(row.checkBox().topLeft() + QPointF(0.5, 0.5)), takesClicks ? Part::checkBox : Part::row);
        EXPECT_EQ(row.partAt(row.titleLine().center()), Part::row) << takesClicks;
    }
    const RecordingRowGeometry plain(QRectF(0, 0, 280, 60), rowMetrics, {});
    EXPECT_TRUE(plain.checkBox().isEmpty());
    EXPECT_EQ(plain.titleLine().left(), 16);
}

TEST(ActiveRowGeometry, DotColumnAndButtons)
{
    using Part = ActiveRowGeometry::Part;
    for (bool editing : {false, true}) {
        const qreal height = ActiveRowGeometry::cellHeight(activeMetrics, editing);
        EXPECT_EQ(height, (editing ? 24 : 16) + 3 + 13 + 12 + 8) << editing;
        const ActiveRowGeometry row(QRectF(0, 0, 280, height), activeMetrics, editing);
        EXPECT_EQ(row.dot().left(), 16) << editing;
        EXPECT_EQ(row.dot().center().y(), row.background().center().y()) << editing;
        EXPECT_EQ(row.titleLine().left(), row.dot().right() + 9) << editing;
        EXPECT_EQ(row.titleLine().height(), editing ? 24 : 16) << editing;
        EXPECT_EQ(row.statusLine().top(), row.titleLine().bottom() + 3) << editing;
        EXPECT_EQ(row.stopButton().isEmpty(), editing) << editing;
        if (!editing) {
            EXPECT_EQ(row.partAt(row.stopButton().center()), Part::stopButton);
            EXPECT_EQ(row.partAt(row.renameButton().center()), Part::renameButton);
            EXPECT_EQ(row.stopButton().right(), row.background().right() - 8);
        }
        EXPECT_EQ(row.partAt(row.dot().center()), Part::row) << editing;
        EXPECT_EQ(row.partAt({2, 10}), Part::none) << editing;
    }
}
