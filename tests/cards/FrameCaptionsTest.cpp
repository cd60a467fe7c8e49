#include "cards/FrameCaptions.h"

#include "cards/CardFormat.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace msrw;

namespace {

TEST(FrameCaptions, EachTypeShowsItsBitsAndDensitiesExactly) {
    CardFormat format;
    format.bpi = {"75", "210", "210"};
    format.userBpc = {"6", "5", "4"}; // USER bits per character
    struct Case {
        std::string type;
        FrameCaptions captions;
    };
    const std::vector<Case> cases = {
        {"ISO",
         {"Track1   7-BPC   75-BPI", "Track2   5-BPC   210-BPI", "Track3   5-BPC   210-BPI"}},
        {"AAMVA",
         {"Track1   7-BPC   75-BPI", "Track2   5-BPC   210-BPI", "Track3   7-BPC   210-BPI"}},
        {"CDL", {"Track1  6-BPC 210-BPI", "Track2  5-BPC 75-BPI", "Track3  6-BPC 210-BPI"}},
        {"USER",
         {"Track1   6-BPC   75-BPI", "Track2   5-BPC   210-BPI", "Track3   4-BPC   210-BPI"}},
        {"RAW",
         {"Track1   8-BPC   75-BPI", "Track2   8-BPC   210-BPI", "Track3   8-BPC   210-BPI"}},
        {"PASS BOOK",
         {"Track1   5-BPC   210-BPI", "Track2   5-BPC   210-BPI", "Track3   5-BPC   210-BPI"}},
    };
    for (const Case& c : cases) {
        const std::optional<FrameCaptions> captions = CardTypeCaptions(c.type, format);
        ASSERT_TRUE(captions) << c.type;
        EXPECT_EQ(*captions, c.captions) << c.type;
    }
    EXPECT_FALSE(CardTypeCaptions("CUSTOM", format));
    EXPECT_FALSE(CardTypeCaptions("", format));
    EXPECT_FALSE(CardTypeCaptions("iso", format));
}

} // namespace
