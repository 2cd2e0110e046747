#include "views/logic/RenameFieldState.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <vector>

using Event = RenameFieldState::Event;
using Report = RenameFieldState::Report;

TEST(RenameFieldState, ReportsAtMostOnceAndIgnoresFocusLossUntilReady)
{
    struct Case {
        const char* name;
        bool ready;
        std::vector<Event> events;
        std::vector<Report> reports;
    } cases[] = {
        {"Return before ready saves", false, {Event::returnKey}, {Report::commit}},
        {"Escape before ready cancels", false, {Event::escapeKey}, {Report::cancel}},
        {"focus loss before ready is ignored and the field stays open", false,
         {Event::editingEnded, Event::returnKey}, {Report::none, Report::commit}},
        {"focus loss when ready saves", true, {Event::editingEnded}, {Report::commit}},
        {"Return and the focus loss it causes save once", true, {Event::returnKey, Event::editingEnded},
         {Report::commit, Report::none}},
        {"Escape is never followed by a save", true, {Event::escapeKey, Event::editingEnded},
         {Report::cancel, Report::none}},
        {"Return twice saves once", false, {Event::returnKey, Event::returnKey}, {Report::commit, Report::none}},
        {"Escape after Return reports nothing", true, {Event::returnKey, Event::escapeKey},
         {Report::commit, Report::none}},
    };
    for (const auto& c : cases) {
        RenameFieldState state;
        if (c.ready)
            state.markReady();
        std::vector<Report> reports;
        for (Event event : c.events)
            reports.push_back(state.handle(event));
        EXPECT_EQ(reports, c.reports) << c.name;
    }
}
