// The CUSTOM track layout of the single-byte family, worked out by hand.

#include "cards/CustomTrack.h"

#include <gtest/gtest.h>

namespace msrw {
namespace {

TEST(CustomTrack, CharacterSizesFromTheSetUp) {
    EXPECT_EQ(CustomBitsPerCharacter("0"), 7);
    EXPECT_EQ(CustomBitsPerCharacter("1"), 6);
    EXPECT_EQ(CustomBitsPerCharacter("2"), 5);
    EXPECT_EQ(CustomBpcText("0"), "7");
    EXPECT_EQ(CustomBpcText("2"), "5");
    for (const char* other : {"3", "", "7", "00"}) {
        EXPECT_EQ(CustomBitsPerCharacter(other), 0) << other;
        EXPECT_EQ(CustomBpcText(other), "") << other;
    }
}

TEST(CustomTrack, LoadsCharactersCutFromTheDataBits) {
    struct Case {
        const char* digits;
        int bits;
        int zeros;
        const char* load;
    };
    const Case cases[] = {
        // 1010010|1 -> 52, 40 (fill): D2 C0.
        {"A5", 7, 2, "\\00\\00\\D2\\C0\\04"},
        {"a5", 7, 0, "\\D2\\C0\\04"},
        // 111111|110000|0000 -> 3F 30 00.
        {"FF00", 6, 1, "\\00\\BF\\B0\\80\\04"},
        // 11111|11100|00000|0 -> 1F 1C 00 00.
        {"FF00", 5, 0, "\\9F\\9C\\80\\80\\04"},
        // 0000001|1111111|0 -> 01 7F 00: 14 bits fill a whole last piece.
        {"03FC", 7, 0, "\\81\\FF\\80\\04"},
        // 56 bits at 7: eight characters, no fill at all.
        {"0123456789ABCD", 7, 0, "\\80\\C8\\E8\\D6\\BC\\A6\\D7\\CD\\04"},
        {"", 5, 3, "\\00\\00\\00\\04"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CustomTrackLoad(c.digits, c.bits, c.zeros), c.load) << c.digits << " " << c.bits;
}

TEST(CustomTrack, RefusesDataItCannotPack) {
    EXPECT_FALSE(CustomTrackLoad("A", 7, 0));   // odd digit count
    EXPECT_FALSE(CustomTrackLoad("G1", 7, 0));  // not a digit
    EXPECT_FALSE(CustomTrackLoad("A 5", 7, 0)); // not a digit
    EXPECT_FALSE(CustomTrackLoad("A5", 4, 0));  // no such size
    EXPECT_FALSE(CustomTrackLoad("A5", 8, 0));  // no such size
    EXPECT_FALSE(CustomTrackLoad("A5", 7, -1)); // no such count
}

TEST(CustomTrack, SelectorsAndRequestsNameTrackAndSize) {
    EXPECT_EQ(CustomLoadSelector(1, 7), "\\55\\3D\\37");
    EXPECT_EQ(CustomLoadSelector(3, 5), "\\57\\3D\\35");
    EXPECT_EQ(CustomTrackRequest(1, 7), "\\55\\5F\\37");
    EXPECT_EQ(CustomTrackRequest(2, 6), "\\56\\5F\\36");
    EXPECT_EQ(CustomTrackRequest(3, 5), "\\57\\5F\\35");
    EXPECT_EQ(CustomLoadSelector(0, 7), "");
    EXPECT_EQ(CustomLoadSelector(4, 7), "");
    EXPECT_EQ(CustomTrackRequest(1, 8), "");
}

} // namespace
} // namespace msrw
