// The set-up memory of the Tarn family as the Setup and maintenance dialogs
// use it: no exchange may wait out the link's time-out, and a write the
// reader refuses is not shown as done.

#include "session/SetupMemory.h"
#include "operations/settings/Maintenance.h"
#include "operations/settings/SetupDialog.h"
#include "sim/TarnResponder.h"
#include "support/CardsSession.h"

#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

class SetupMemoryFlow : public SimCardsFlow {
protected:
    int timedOut() { return s().link().exchangesTimedOut(); }
};

TEST_F(SetupMemoryFlow, NoDialogWaitsOutAReplyTimeOut) {
    struct Case {
        const char* what;
        std::function<void(Session&)> action;
    };
    const std::vector<Case> cases{
        {"maintenance opened", [](Session& s) { cmdConfigSetting_Click(s); }},
        {"coercivity locked", [](Session& s) { frmCfgSet::cmdSetLoCo_Click(s); }},
        {"coercivity unlocked", [](Session& s) { frmCfgSet::cmdSetLoCo_Click(s); }},
        {"maintenance closed", [](Session& s) { frmCfgSet::cmdCancel_Click(s); }},
        {"setup opened", [](Session& s) { cmdSetup_Click(s); }},
    };
    for (const Case& c : cases) {
        const int before = timedOut();
        c.action(s());
        EXPECT_EQ(timedOut(), before) << c.what;
        EXPECT_TRUE(t.dialogs.messages.empty()) << c.what << ": " << t.dialogs.messages.front();
        t.dialogs.messages.clear();
    }
    EXPECT_TRUE(s().operationState<SetupView>().visible);
}

TEST_F(SetupMemoryFlow, ReadsAndWritesWholeCommands) {
    ASSERT_TRUE(s().portManager.ReOpenPort());
    t.takeSent();
    t.device->setFamily(sim::Family::Tarn);
    {
        SetupMemory memory(s().link());
        EXPECT_EQ(memory.read("02"), "3D"); // 61 leading zeros at 210 BPI
        EXPECT_TRUE(memory.write("10", "5A"));
        EXPECT_TRUE(ReadsLowCoOnly(memory));
        EXPECT_FALSE(memory.write("1G", "00")); // not an address: refused
        EXPECT_TRUE(ReadsLowCoOnly(memory));
    }
    EXPECT_EQ(t.takeSent(), (Commands{"\\09\\09\\09", "Q02", "A105A", "Q10", "A1G00", "Q10", "@"}));
    EXPECT_EQ(t.device->tarn().memory(0x10), 0x5A);
    EXPECT_EQ(timedOut(), 0);
}

} // namespace
