// The texts the "Quell Mode" read makes of the reader's track replies.

#include "operations/reading/TarnTracks.h"
#include "operations/cardtype/TarnCardType.h"
#include "support/SimSession.h"

#include <gtest/gtest.h>

using namespace msrw;

namespace {

TEST(CustomTrackDigits, EveryByteShowsAsTwoDigitsHoweverShortTheTrack) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"A", "41"},
        {"\\05", "05"},
        {"\\\\", "5C"},
        {"AB", "4142"},
        {"\\FF\\00", "FF00"},
        {"A\\05\\\\z", "41055C7A"},
    };
    for (const auto& [reply, digits] : cases)
        EXPECT_EQ(CustomTrackDigits(reply), digits) << reply;
}

TEST(Track3LayoutCaption, NamesTheLayoutFoundForTheCardType) {
    EXPECT_EQ(Track3LayoutCaption("ISO", false, "210"), "Track3   5 BPC   210 BPI (ISO Format)");
    EXPECT_EQ(Track3LayoutCaption("AAMVA", false, "75"), "Track3   5 BPC   75 BPI (ISO Format)");
    EXPECT_EQ(Track3LayoutCaption("ISO", true, "75"), "Track3   7 BPC   75 BPI (Non ISO Format)");
    EXPECT_EQ(Track3LayoutCaption("AAMVA", true, "210"), "Track3   7 BPC   210 BPI ");
}

TEST(TarnCoercivity, IsLowBelowHexAA) {
    test::SimSession t;
    const std::pair<const char*, bool> cases[] = {{"34", true},  {"A9", true}, {"AA", false},
                                                  {"FF", false}, {"", true},   {"Z1", true}};
    for (const auto& [text, low] : cases) {
        t.session->g.tarnMemory.coercivity = text;
        EXPECT_EQ(TarnCoercivityIsLow(*t.session), low) << text;
    }
}

} // namespace
