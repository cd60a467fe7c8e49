// The set-up dialog's input rules: the leading-zero boxes, the choose-only
// lists, tabs and Default per tab.

#include "files/SettingsFile.h"
#include "operations/settings/SetupDialog.h"
#include "support/SimSession.h"

#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

const std::string kCaution = "CAUTION: less than 20 lead zeros @ 75 BPI, 60 @ 210 BPI is not "
                             "recommended for optimum read reliability";

class SetupInput : public ::testing::Test {
protected:
    Session& s() { return *t.session; }
    SimSession t;
};

TEST_F(SetupInput, LeadingZeroBoxesTakeDigitsAndTheEditingKeysOnly) {
    for (int key = 1; key < 256; ++key) {
        const bool passes = (key >= '0' && key <= '9') || key == 8 || key == 127;
        EXPECT_EQ(frmSetup::txtLeadz_KeyPress(key), passes ? key : 0) << key;
    }
}

TEST_F(SetupInput, MoreThan999LeadingZerosPutTheBoxBackToItsDefault) {
    struct Case {
        LeadzBox box;
        std::string typed;
        std::string after;
        bool refused;
    };
    const std::vector<Case> cases{
        {LeadzBox::At210, "1000", "61", true},
        {LeadzBox::At75, "1000", "22", true},
        {LeadzBox::At210Pb, "1000", "111", true},
        {LeadzBox::At210, "999", "999", false},
        {LeadzBox::At75, "12345678901234567890", "22", true},
        {LeadzBox::At210, "12a", "12a", false}, // not a number: not checked here
    };
    for (const Case& c : cases) {
        t.dialogs.messages.clear();
        frmSetup::txtLeadz_Change(s(), c.box, c.typed);
        const FormatStore& f = s().format;
        const std::string& text = c.box == LeadzBox::At210  ? f.txt210Leadz
                                  : c.box == LeadzBox::At75 ? f.txt75Leadz
                                                            : f.txt210Leadz_Pb;
        EXPECT_EQ(text, c.after) << c.typed;
        EXPECT_EQ(t.dialogs.messages,
                  c.refused ? std::vector<std::string>{"Leading zero should less than 1000"}
                            : std::vector<std::string>{})
            << c.typed;
    }
}

TEST_F(SetupInput, LeavingALeadingZeroBoxChecksForZeroAndWarnsBelowTheMinimum) {
    struct Case {
        LeadzBox box;
        std::string text;
        std::string after;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases{
        {LeadzBox::At210, "45", "45", {kCaution}},
        {LeadzBox::At210, "60", "60", {}},
        {LeadzBox::At210, "59", "59", {kCaution}},
        {LeadzBox::At210, "", "61", {"Leading zero should not be 0"}},
        {LeadzBox::At210, "0", "61", {"Leading zero should not be 0"}},
        {LeadzBox::At75, "000", "22", {"Leading zero should not be 0"}},
        {LeadzBox::At75, "19", "19", {"210 BPI 61 is standard. " + kCaution}},
        {LeadzBox::At75, "20", "20", {}},
        {LeadzBox::At210Pb, "0", "0", {}},
    };
    for (const Case& c : cases) {
        t.dialogs.messages.clear();
        frmSetup::txtLeadz_Change(s(), c.box, c.text);
        frmSetup::txtLeadz_LostFocus(s(), c.box);
        const FormatStore& f = s().format;
        const std::string& text = c.box == LeadzBox::At210  ? f.txt210Leadz
                                  : c.box == LeadzBox::At75 ? f.txt75Leadz
                                                            : f.txt210Leadz_Pb;
        EXPECT_EQ(text, c.after) << c.text;
        EXPECT_EQ(t.dialogs.messages, c.messages) << c.text;
    }
}

TEST_F(SetupInput, AKeyTypedIntoAListBringsItBackToTheFirstItemWithItsRules) {
    FormatStore& f = s().format;
    frmSetup::ChooseListItem(s(), EntryBpi(2), 0);
    frmSetup::ChooseListItem(s(), EntryBpi(2), 1);
    EXPECT_EQ(frmSetup::cboList_KeyPress(s(), EntryBpi(2), '2'), 0);
    EXPECT_EQ(f.bpi[1].selected, 0);

    // Track 2 at 4 bits, no parity: a key brings BPC "7" back, with odd
    // parity and the 7-bit sentinels.
    frmSetup::ChooseListItem(s(), EntryUser(2, 0), 3);
    EXPECT_EQ(f.user[1].parity.text(), "None");
    EXPECT_EQ(frmSetup::cboList_KeyPress(s(), EntryUser(2, 0), 'x'), 0);
    EXPECT_EQ(f.user[1].bpc.text(), "7");
    EXPECT_EQ(f.user[1].parity.text(), "Odd");
    EXPECT_EQ(f.user[1].ss.text(), "%");
    EXPECT_EQ(f.user[1].ss.items.size(), 32u);

    // A key in a 7-bit track's parity list: "None" is not kept.
    EXPECT_EQ(frmSetup::cboList_KeyPress(s(), EntryUser(2, 1), 'N'), 0);
    EXPECT_EQ(f.user[1].parity.text(), "Odd");
    frmSetup::ChooseListItem(s(), EntryPassBook(3, 1), 1);
    EXPECT_EQ(f.passBook[2].ss.text(), "=");
    EXPECT_EQ(frmSetup::cboList_KeyPress(s(), EntryPassBook(3, 1), '='), 0);
    EXPECT_EQ(f.passBook[2].ss.text(), ";");
}

TEST_F(SetupInput, DefaultResetsOnlyTheTabThatIsShown) {
    FormatStore& f = s().format;
    const auto changeEverything = [&] {
        f.txt210Leadz = "70";
        f.txt75Leadz = "30";
        f.chkhico = true;
        frmSetup::ChooseListItem(s(), EntryBpi(1), 1);
        for (int track = 1; track <= 3; ++track) {
            frmSetup::ChooseListItem(s(), EntryUser(track, 0), 1); // 6 bits
            frmSetup::ChooseListItem(s(), EntryUser(track, 3), 0);
            frmSetup::ChooseListItem(s(), EntryPassBook(track, 0), 2);
            frmSetup::ChooseListItem(s(), EntryPassBook(track, 2), 1);
        }
        f.txt210Leadz_Pb = "90";
    };
    SettingsRecord defaults = DefaultSettingsRecord();
    defaults[kEntryPort] = defaults[kEntryCardType] = 0;
    struct Case {
        SetupTab tab;
        std::size_t first, last; // the record entries the tab holds, [first, last)
    };
    const std::vector<Case> cases{{SetupTab::Format, kEntryLeadz210, kEntryFirstUser},
                                  {SetupTab::UserType, kEntryFirstUser, kEntryFirstPassBook},
                                  {SetupTab::PassBook, kEntryFirstPassBook, kSettingsEntries}};
    for (const Case& c : cases) {
        changeEverything();
        SettingsRecord changed;
        f.store(changed);
        frmSetup::tbsSetup_Click(s(), c.tab);
        frmSetup::cmddefault_Click(s());
        SettingsRecord after;
        f.store(after);
        for (std::size_t e = kEntryLeadz210; e < kSettingsEntries; ++e) {
            const bool onTab = e >= c.first && e < c.last;
            EXPECT_EQ(after[e], onTab ? defaults[e] : changed[e])
                << "tab " << int(c.tab) << " entry " << e;
        }
        if (c.tab == SetupTab::UserType) {
            EXPECT_EQ(f.user[0].ss.text(), "%");
            EXPECT_EQ(f.user[1].ss.items.size(), 9u); // track 2's 5-bit list holds "<"
            EXPECT_EQ(f.user[2].es.text(), "?");
        }
    }
}

} // namespace
