// The exit status of a card run, row by row as the README's table gives it:
// the first row that applies decides.

#include "console/ExitStatus.h"

#include <gtest/gtest.h>

using namespace msrw::console;

namespace {

RunEnd Started() {
    RunEnd e;
    e.started = true;
    return e;
}

TEST(ExitStatus, TheFirstRowOfTheReadmeTableThatAppliesDecides) {
    struct Case {
        const char* what;
        RunEnd end;
        int status;
    };
    const auto with = [](RunEnd e, bool RunEnd::*field) {
        e.*field = true;
        return e;
    };
    RunEnd everything = Started();
    for (bool RunEnd::*f :
         {&RunEnd::unanswered, &RunEnd::portLost, &RunEnd::serverLost, &RunEnd::busy,
          &RunEnd::claimLost, &RunEnd::cardFailed, &RunEnd::stoppedEarly, &RunEnd::portFailed})
        everything.*f = true;
    const Case cases[] = {
        {"every card done", Started(), 0},
        {"a card failed", with(Started(), &RunEnd::cardFailed), 1},
        {"stopped early", with(Started(), &RunEnd::stoppedEarly), 1},
        {"claim lost", with(Started(), &RunEnd::claimLost), 1},
        {"not started", RunEnd{}, 2},
        {"not started, no port", with(RunEnd{}, &RunEnd::portFailed), 3},
        {"busy", with(RunEnd{}, &RunEnd::busy), 3},
        {"server lost", with(with(Started(), &RunEnd::serverLost), &RunEnd::cardFailed), 3},
        {"port lost", with(with(Started(), &RunEnd::portLost), &RunEnd::serverLost), 4},
        {"unanswered first", everything, 2},
        {"port lost before a failed card",
         with(with(Started(), &RunEnd::portLost), &RunEnd::stoppedEarly), 4},
        {"busy before not started", with(with(RunEnd{}, &RunEnd::busy), &RunEnd::portFailed), 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExitStatusOf(c.end), c.status) << c.what;
}

} // namespace
