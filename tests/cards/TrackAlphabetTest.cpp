#include "cards/TrackAlphabet.h"

#include <gtest/gtest.h>
#include <vector>

using namespace msrw;

namespace {

struct AlphabetCase {
    std::array<std::string, 3> tracks;
    TrackAlphabetSetup setup;
    bool fits;
};

TEST(TrackAlphabet, EachTrackMustFitItsBitsPerCharacter) {
    const TrackAlphabetSetup iso{0, {0, 2, 2}};
    const TrackAlphabetSetup passBook{4, {0, 0, 0}};
    const std::vector<AlphabetCase> cases = {
        {{" ABC_^/", "0123456789:;<=>?", ";1?"}, iso, true},
        {{"abc", "", ""}, iso, false}, // lower case is outside 6 bits
        {{"~", "", ""}, iso, false},
        {{"\x1F", "", ""}, iso, false}, // just below the space
        {{"`", "", ""}, {0, {1, 2, 2}}, false},
        {{"", "/", ""}, iso, false}, // just below "0"
        {{"", "", "@"}, iso, false}, // just above "?"
        {{"", "", "A"}, {0, {0, 2, 0}}, true},
        {{"", "?", ""}, {0, {0, 3, 2}}, true},
        {{"", "@", ""}, {0, {0, 3, 2}}, false},
        {{"any ~`{", "abc", "xyz"}, {0, {4, -1, 9}}, true}, // no BPC picked: no check
        // A pass book needs 4 bits on every track, whatever the BPC lists say.
        {{"=123<", ";45?", "0"}, passBook, true},
        {{"=123<", ";45?", "A"}, passBook, false},
        {{"A", "", ""}, passBook, false},
    };
    for (const AlphabetCase& c : cases)
        EXPECT_EQ(CheckTrackAlphabet(c.tracks, c.setup), c.fits)
            << c.tracks[0] << "|" << c.tracks[1] << "|" << c.tracks[2] << " type "
            << c.setup.cardTypePosition;
}

TEST(TrackAlphabet, SetUpValuesArePickedByTheirNumbers) {
    const std::vector<int> values{0, 4, 61, 22, 0, 2, 3, 1};
    const auto setup = TrackAlphabetSetupFromValues(values);
    ASSERT_TRUE(setup);
    EXPECT_EQ(setup->cardTypePosition, 4);
    EXPECT_EQ(setup->bpcPosition, (std::array<int, 3>{2, 3, 1}));
    EXPECT_FALSE(TrackAlphabetSetupFromValues(std::span(values).first(7)));
    EXPECT_FALSE(TrackAlphabetSetupFromValues({}));
}

} // namespace
