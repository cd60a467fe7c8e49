// The receive dispatcher as a table: branches by OpState, End actions in the
// order of the End steps whatever order the operations registered them in.

#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "support/CardsSession.h"

#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

class DispatcherTable : public CardsSession {
protected:
    DispatcherTable() {
        session.dispatch.addBranch(kOpRead, [this](Session&, std::string_view text, bool ok) {
            calls.push_back("read " + std::string(text) + (ok ? " ok" : " not ok"));
        });
        // Registered out of step order on purpose.
        session.dispatch.addEndAction(EndStep::Compare, [this](Session&, std::int32_t state) {
            calls.push_back("compare end of " + std::to_string(state));
        });
        session.dispatch.addEndAction(
            EndStep::SequentialWrite, [this](Session& s, std::int32_t state) {
                // Still running when the End steps run.
                calls.push_back("sequential end of " + std::to_string(state) + " opstate " +
                                std::to_string(s.g.OpState));
            });
    }

    void deliver(std::string display) {
        std::string hex;
        oMsrwComm_MsrwInEvent(session, display, hex);
    }

    std::vector<std::string> calls;
};

TEST_F(DispatcherTable, RoutesByStateAndDropsWhatNoBranchWaitsFor) {
    setMode(MsrwMode::Ormond);
    session.g.OpState = kOpRead;
    deliver("\\1B0");
    session.g.OpState = kOpCompare; // no branch registered here
    deliver("\\1B0");
    session.g.OpState = kOpIdle;
    deliver("\\1B1");
    EXPECT_EQ(calls, std::vector<std::string>{"read \\1B0 ok"});
    for (const TrackBox& box : session.view.tracks)
        EXPECT_EQ(box.maxLength, 180); // the one thing every reply changes

    session.g.OpState = kOpDropReply;
    deliver("\\1B0");
    EXPECT_EQ(session.g.OpState, kOpIdle);
    EXPECT_EQ(calls.size(), 1u);
}

// End may come while a branch waits for an exchange, outside any pause: the
// branch's next pause must still stop it, or it would arm the reader again.
TEST_F(DispatcherTable, EndDuringABranchStopsItsNextPause) {
    setMode(MsrwMode::Velk); // no port to close
    std::vector<bool> pauses;
    session.dispatch.addBranch(kOpCompare, [&](Session& s, std::string_view, bool) {
        pauses.push_back(s.Wait(100));
        cmdCancel_Click(s); // as if pressed during an exchange
        pauses.push_back(s.Wait(100));
        pauses.push_back(s.Delay(10));
    });
    session.g.OpState = kOpCompare;
    deliver("\\1B0");
    EXPECT_EQ(pauses, (std::vector<bool>{true, false, false}));
    EXPECT_TRUE(session.Wait(100)) << "outside the branch, pauses go on as before";
}

TEST_F(DispatcherTable, EndRunsTheOperationsPartsInStepOrderWithTheEndedState) {
    setMode(MsrwMode::Velk); // no port to close
    session.g.OpState = kOpCompare;
    session.g.OpCount = 4;
    cmdCancel_Click(session);
    EXPECT_EQ(calls,
              (std::vector<std::string>{"sequential end of 5 opstate 0", "compare end of 5"}));
    EXPECT_EQ(session.g.OpCount, 0);
    EXPECT_EQ(session.view.prompt.buttonCaption, "End");
}

} // namespace
