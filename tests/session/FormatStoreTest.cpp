#include "session/FormatStore.h"

#include "files/SettingsFile.h"

#include <gtest/gtest.h>

using namespace msrw;

namespace {

using Items = std::vector<std::string>;

// The user lists of a track as texts: BPC, parity, SS, ES.
std::array<std::string, 4> UserTexts(const FormatStore& f, int track) {
    const UserTrackControls& t = f.user[std::size_t(track - 1)];
    return {t.bpc.text(), t.parity.text(), t.ss.text(), t.es.text()};
}

TEST(FormatStore, StartsAtTheDefaults) {
    const FormatStore f;
    EXPECT_EQ(f.bpi[0].text(), "210");
    EXPECT_EQ(f.bpi[1].text(), "75");
    EXPECT_EQ(f.bpi[2].text(), "210");
    EXPECT_EQ(f.bpi[0].items, (Items{"210", "75"}));
    EXPECT_EQ(f.txt210Leadz, "61");
    EXPECT_EQ(f.txt75Leadz, "22");
    EXPECT_EQ(f.txt210Leadz_Pb, "111");
    EXPECT_FALSE(f.chkhico);
    EXPECT_EQ(UserTexts(f, 1), (std::array<std::string, 4>{"7", "Odd", "%", "?"}));
    EXPECT_EQ(UserTexts(f, 2), (std::array<std::string, 4>{"5", "Odd", ";", "?"}));
    EXPECT_EQ(UserTexts(f, 3), (std::array<std::string, 4>{"5", "Odd", ";", "?"}));
    EXPECT_EQ(f.user[0].bpc.items, (Items{"7", "6", "5", "4"}));
    EXPECT_EQ(f.user[0].parity.items, (Items{"None", "Odd", "Even"}));
    for (const PassBookTrackControls& t : f.passBook) {
        EXPECT_EQ(t.bpi.text(), "210");
        EXPECT_FALSE(t.bpi.enabled);
        EXPECT_EQ(t.parity.text(), "Odd");
        EXPECT_FALSE(t.parity.enabled);
        EXPECT_EQ(t.syncZeros.items, (Items{"0", "25", "60"}));
        EXPECT_EQ(t.syncZeros.text(), "25");
        EXPECT_EQ(t.ss.items, (Items{";", "="}));
        EXPECT_EQ(t.ss.text(), ";");
        EXPECT_EQ(t.es.items, (Items{"<", "?"}));
        EXPECT_EQ(t.es.text(), "<");
    }
    SettingsRecord stored = DefaultSettingsRecord();
    stored.entry.fill(-9);
    f.store(stored);
    const SettingsRecord defaults = DefaultSettingsRecord();
    for (std::size_t i = kEntryLeadz210; i < kSettingsEntries; ++i)
        EXPECT_EQ(stored[i], defaults[i]) << "entry " << i;
    EXPECT_EQ(stored[kEntryPort], -9); // the main window's entries are not the store's
    EXPECT_EQ(stored[kEntryCardType], -9);
}

TEST(FormatStore, SentinelListsFollowTheTrackAndItsBitsPerCharacter) {
    const Items narrowSs = {"1", "3", "5", "7", "9", ";", "=", "?"};
    const Items narrowSsTrack2 = {"1", "3", "5", "7", "9", ";", "<", "=", "?"};
    const Items narrowEs = {"0", "1", "2", "3", "4", "5", "6", "7",
                            "8", "9", ":", ";", "<", "=", ">", "?"};
    Items wideSs;
    for (char c = '!'; c <= '_'; c += 2)
        wideSs.emplace_back(1, c);
    Items wideEs{"~"};
    for (char c = '!'; c <= '_'; ++c)
        wideEs.emplace_back(1, c);
    ASSERT_EQ(wideSs.size(), 32u);
    ASSERT_EQ(wideEs.size(), 64u);

    struct Case {
        int track, bpcPosition;
        const Items& ss;
        const Items& es;
    };
    const std::vector<Case> cases = {
        {1, 0, wideSs, wideEs},           {1, 1, wideSs, wideEs}, {1, 2, narrowSs, narrowEs},
        {1, 3, narrowSs, narrowEs},       {2, 0, wideSs, wideEs}, {2, 2, narrowSsTrack2, narrowEs},
        {2, 3, narrowSsTrack2, narrowEs}, {3, 1, wideSs, wideEs}, {3, 3, narrowSs, narrowEs},
    };
    for (const Case& c : cases) {
        FormatStore f;
        f.clickBpc(c.track, c.bpcPosition);
        const UserTrackControls& t = f.user[std::size_t(c.track - 1)];
        EXPECT_EQ(t.ss.items, c.ss) << "track " << c.track << " BPC " << c.bpcPosition;
        EXPECT_EQ(t.es.items, c.es) << "track " << c.track << " BPC " << c.bpcPosition;
    }
}

TEST(FormatStore, BpcClickCouplesParityAndResetsTheSentinelPicks) {
    struct Case {
        int startBpc, startParity, clickedBpc;
        std::array<std::string, 4> expected;
    };
    const std::vector<Case> cases = {
        {0, 1, 1, {"6", "None", "%", "?"}}, // 6 bits never carry parity
        {1, 0, 2, {"5", "Odd", ";", "?"}},  // and 5 bits always do
        {1, 0, 0, {"7", "Odd", "%", "?"}},
        {0, 2, 0, {"7", "Even", "%", "?"}}, // a chosen parity is kept
        {0, 2, 2, {"5", "Even", ";", "?"}},
        {2, 2, 3, {"4", "None", ";", "?"}},
        {3, 0, 1, {"6", "None", "%", "?"}},
    };
    for (int track = 1; track <= 3; ++track) {
        for (const Case& c : cases) {
            FormatStore f;
            f.clickBpc(track, c.startBpc);
            f.user[std::size_t(track - 1)].parity.selected = c.startParity;
            f.user[std::size_t(track - 1)].ss.select(0);
            f.user[std::size_t(track - 1)].es.select(3);
            f.clickBpc(track, c.clickedBpc);
            EXPECT_EQ(UserTexts(f, track), c.expected)
                << "track " << track << ", BPC " << c.startBpc << " -> " << c.clickedBpc;
        }
    }
}

TEST(FormatStore, ParityClickFollowsTheBitsPerCharacter) {
    struct Case {
        int bpc, clickedParity;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {0, 0, "Odd"}, {0, 2, "Even"}, {1, 1, "None"}, {1, 2, "None"},
        {2, 0, "Odd"}, {2, 1, "Odd"},  {3, 2, "None"}, {3, 0, "None"},
    };
    for (const Case& c : cases) {
        FormatStore f;
        f.clickBpc(1, c.bpc);
        f.clickParity(1, c.clickedParity);
        EXPECT_EQ(f.user[0].parity.text(), c.expected) << "BPC " << c.bpc;
    }
    // Without a BPC, a parity click picks "7" first.
    FormatStore f;
    f.user[1].bpc.selected = -1;
    f.clickParity(2, 0);
    EXPECT_EQ(UserTexts(f, 2), (std::array<std::string, 4>{"7", "Odd", "%", "?"}));
}

TEST(FormatStore, ClicksThatNameNothingChangeNothing) {
    FormatStore f;
    const auto before = UserTexts(f, 2);
    for (int track : {0, 4, -1})
        f.clickBpc(track, 1);
    f.clickBpc(2, 4);
    f.clickBpc(2, -1);
    f.clickParity(2, 3);
    f.clickParity(9, 0);
    EXPECT_EQ(UserTexts(f, 2), before);
    EXPECT_EQ(UserTexts(f, 1), (std::array<std::string, 4>{"7", "Odd", "%", "?"}));
}

TEST(FormatStore, ApplySetsBitsPerCharacterBeforeParityAndSentinels) {
    SettingsRecord r = DefaultSettingsRecord();
    r[2] = 45;
    r[3] = 19;
    r[29] = 90;
    r[4] = 1;
    r[7] = 1;
    r[8] = 2, r[9] = 2, r[10] = 6, r[11] = 3;    // track 1: 5 bits, Even, "=", "3"
    r[12] = 2, r[13] = 1, r[14] = 6, r[15] = 12; // track 2: "<" exists on its 5-bit list
    r[16] = 1, r[17] = 1, r[18] = 0, r[19] = 0;  // track 3: 6 bits cannot keep "Odd"
    r[20] = 2, r[21] = 1, r[22] = 1;
    r[28] = 1;
    FormatStore f;
    f.apply(r);
    EXPECT_EQ(f.txt210Leadz, "45");
    EXPECT_EQ(f.txt75Leadz, "19");
    EXPECT_EQ(f.txt210Leadz_Pb, "90");
    EXPECT_EQ(f.bpi[0].text(), "75");
    EXPECT_TRUE(f.chkhico);
    EXPECT_EQ(UserTexts(f, 1), (std::array<std::string, 4>{"5", "Even", "=", "3"}));
    EXPECT_EQ(UserTexts(f, 2), (std::array<std::string, 4>{"5", "Odd", "<", "<"}));
    EXPECT_EQ(UserTexts(f, 3), (std::array<std::string, 4>{"6", "None", "!", "~"}));
    EXPECT_EQ(f.passBook[0].syncZeros.text(), "60");
    EXPECT_EQ(f.passBook[0].ss.text(), "=");
    EXPECT_EQ(f.passBook[0].es.text(), "?");
    EXPECT_EQ(f.passBook[2].es.text(), "?");
    EXPECT_EQ(f.passBook[1].es.text(), "<");

    SettingsRecord back = DefaultSettingsRecord();
    f.store(back);
    for (std::size_t i : {2, 3, 4, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 19, 20, 21, 22, 28, 29})
        EXPECT_EQ(back[i], r[i]) << "entry " << i;
    EXPECT_EQ(back[17], 0); // the parity the 6-bit rule forced
}

TEST(FormatStore, ApplyKeepsControlsForPositionsThatNameNothing) {
    SettingsRecord r = DefaultSettingsRecord();
    for (std::size_t i = kEntryFirstBpi; i < kEntryLeadz210Pb; ++i)
        if (i != kEntryHiCo)
            r[i] = (i % 2) ? 99 : -1;
    FormatStore f;
    f.clickBpc(1, 2);
    f.user[0].ss.select(7);
    f.apply(r);
    EXPECT_EQ(UserTexts(f, 1), (std::array<std::string, 4>{"5", "Odd", "?", "?"}));
    EXPECT_EQ(UserTexts(f, 2), (std::array<std::string, 4>{"5", "Odd", ";", "?"}));
    EXPECT_EQ(f.bpi[1].text(), "75");
    EXPECT_EQ(f.passBook[1].syncZeros.text(), "25");
}

TEST(FormatStore, ListForEntryFollowsTheRecordLayout) {
    FormatStore f;
    const std::vector<std::pair<std::size_t, const ListControl*>> cases = {
        {0, nullptr},
        {3, nullptr},
        {4, &f.bpi[0]},
        {6, &f.bpi[2]},
        {7, nullptr},
        {8, &f.user[0].bpc},
        {11, &f.user[0].es},
        {13, &f.user[1].parity},
        {18, &f.user[2].ss},
        {19, &f.user[2].es},
        {20, &f.passBook[0].syncZeros},
        {22, &f.passBook[0].es},
        {24, &f.passBook[1].ss},
        {26, &f.passBook[2].syncZeros},
        {28, &f.passBook[2].es},
        {29, nullptr},
        {30, nullptr},
    };
    for (const auto& [entry, list] : cases)
        EXPECT_EQ(std::as_const(f).listForEntry(entry), list) << "entry " << entry;
}

TEST(FormatStore, TrackFormatsForTheEncoders) {
    FormatStore f;
    f.clickBpc(2, 1);
    f.user[1].ss.select(0);
    f.user[1].es.select(0); // "~" stands for a space
    f.clickParity(3, 2);
    f.passBook[2].ss.select(1);
    f.passBook[2].es.select(1);

    const UserTrackFormat t1 = f.userFormat(1);
    EXPECT_EQ(t1.bitsPerCharacter, 7);
    EXPECT_EQ(t1.parity, "Odd");
    EXPECT_EQ(t1.startSentinel, '%');
    EXPECT_EQ(t1.endSentinel, '?');
    const UserTrackFormat t2 = f.userFormat(2);
    EXPECT_EQ(t2.bitsPerCharacter, 6);
    EXPECT_EQ(t2.parity, "None");
    EXPECT_EQ(t2.startSentinel, '!');
    EXPECT_EQ(t2.endSentinel, ' ');
    const UserTrackFormat t3 = f.userFormat(3);
    EXPECT_EQ(t3.bitsPerCharacter, 5);
    EXPECT_EQ(t3.parity, "Even");
    EXPECT_EQ(t3.startSentinel, ';');

    const UserTrackFormat pb1 = f.passBookFormat(1);
    EXPECT_EQ(pb1.bitsPerCharacter, 5);
    EXPECT_EQ(pb1.parity, "Odd");
    EXPECT_EQ(pb1.startSentinel, ';');
    EXPECT_EQ(pb1.endSentinel, '<');
    const UserTrackFormat pb3 = f.passBookFormat(3);
    EXPECT_EQ(pb3.startSentinel, '=');
    EXPECT_EQ(pb3.endSentinel, '?');

    const UserTrackFormat none = f.userFormat(4);
    EXPECT_EQ(none.bitsPerCharacter, UserTrackFormat{}.bitsPerCharacter);
    EXPECT_EQ(none.startSentinel, UserTrackFormat{}.startSentinel);
}

TEST(FormatStore, StoreKeepsTheEntryOfABoxThatIsNotANumber) {
    FormatStore f;
    f.txt75Leadz = "";
    f.txt210Leadz = "12";
    SettingsRecord r = DefaultSettingsRecord();
    r[3] = 33;
    f.store(r);
    EXPECT_EQ(r[2], 12);
    EXPECT_EQ(r[3], 33);
}

} // namespace
