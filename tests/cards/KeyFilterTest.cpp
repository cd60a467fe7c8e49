#include "cards/KeyFilter.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace msrw;

namespace {

struct KeyCase {
    std::string type;
    int track;
    int typed;
    int shown; // kKeyCancelled: dropped
    int userBpcPosition = -1;
};

TEST(TrackKeyFilter, KeepsEachTrackToItsAlphabet) {
    const std::vector<KeyCase> cases = {
        // ISO track 1: 6-bit text, raised, without its sentinels.
        {"ISO", 1, ' ', '~'},
        {"ISO", 1, 'a', 'A'},
        {"ISO", 1, 'z', 'Z'},
        {"ISO", 1, '_', '_'},
        {"ISO", 1, '?', kKeyCancelled},
        {"ISO", 1, '%', kKeyCancelled},
        {"ISO", 1, '`', kKeyCancelled},
        {"ISO", 1, '{', kKeyCancelled},
        {"ISO", 1, '~', kKeyCancelled},
        {"ISO", 1, 127, kKeyCancelled},
        {"ISO", 1, 7, kKeyCancelled},
        {"ISO", 1, kKeyEnter, kKeyCancelled},
        {"ISO", 1, kKeyBackspace, kKeyBackspace},
        {"ISO", 1, 200, 200},
        // ISO tracks 2 and 3: digits without ";" and "?".
        {"ISO", 2, '0', '0'},
        {"ISO", 2, '>', '>'},
        {"ISO", 2, '=', '='},
        {"ISO", 2, ';', kKeyCancelled},
        {"ISO", 2, '?', kKeyCancelled},
        {"ISO", 2, '/', kKeyCancelled},
        {"ISO", 2, '@', kKeyCancelled},
        {"ISO", 2, ' ', kKeyCancelled},
        {"ISO", 3, 'a', kKeyCancelled},
        {"ISO", 3, '9', '9'},
        // AAMVA track 3 is text like track 1.
        {"AAMVA", 3, 'q', 'Q'},
        {"AAMVA", 3, ' ', '~'},
        {"AAMVA", 3, '%', kKeyCancelled},
        {"AAMVA", 2, ';', kKeyCancelled},
        {"AAMVA", 2, 'A', kKeyCancelled},
        // USER follows the track's bits per character; sentinels may be typed.
        {"USER", 1, '%', '%', 0},
        {"USER", 1, '?', '?', 1},
        {"USER", 1, 'b', 'B', 0},
        {"USER", 2, ' ', '~', 1},
        {"USER", 1, '`', kKeyCancelled, 0},
        {"USER", 3, ';', ';', 2},
        {"USER", 3, '?', '?', 3},
        {"USER", 3, 'A', kKeyCancelled, 2},
        {"USER", 3, ' ', kKeyCancelled, 3},
        {"USER", 2, '{', '{', 4},
        {"USER", 2, ' ', '~', -1},
        // RAW and CUSTOM take hexadecimal digits.
        {"RAW", 1, 'a', 'A'},
        {"RAW", 2, 'f', 'F'},
        {"RAW", 3, 'F', 'F'},
        {"RAW", 3, '9', '9'},
        {"RAW", 1, 'g', kKeyCancelled},
        {"RAW", 1, 'G', kKeyCancelled},
        {"RAW", 1, ' ', kKeyCancelled},
        {"RAW", 1, ':', kKeyCancelled},
        {"CUSTOM", 2, 'c', 'C'},
        {"CUSTOM", 2, '%', kKeyCancelled},
        // PASS BOOK takes the whole 4-bit alphabet.
        {"PASS BOOK", 1, '=', '='},
        {"PASS BOOK", 2, '<', '<'},
        {"PASS BOOK", 3, '?', '?'},
        {"PASS BOOK", 3, ';', ';'},
        {"PASS BOOK", 1, '@', kKeyCancelled},
        {"PASS BOOK", 1, ' ', kKeyCancelled},
        // CDL takes anything as typed.
        {"CDL", 1, ' ', ' '},
        {"CDL", 2, 'a', 'a'},
        {"CDL", 3, 3, 3},
        // A track that is none of the three takes nothing.
        {"CDL", 0, 'A', kKeyCancelled},
        {"ISO", 4, 'A', kKeyCancelled},
        {"ISO", 1, -5, kKeyCancelled},
    };
    for (const KeyCase& c : cases) {
        KeyFilterContext context;
        context.cardType = c.type;
        context.userBpcPosition = {c.userBpcPosition, c.userBpcPosition, c.userBpcPosition};
        EXPECT_EQ(FilterTrackKey(context, c.track, c.typed), c.shown)
            << c.type << " track " << c.track << " typed " << c.typed << " bpc "
            << c.userBpcPosition;
    }
}

TEST(TrackKeyFilter, FieldLengthFollowsTypeTrackAndDensity) {
    struct LimitCase {
        std::string type;
        int track;
        std::string bpi;
        std::optional<int> limit;
    };
    const std::vector<LimitCase> cases = {
        {"ISO", 1, "210", 76},
        {"ISO", 1, "75", 25},
        {"ISO", 2, "210", 106},
        {"ISO", 2, "75", 37},
        {"ISO", 3, "210", 106},
        {"ISO", 3, "75", 37},
        {"AAMVA", 1, "210", 79},
        {"AAMVA", 1, "75", 25},
        {"AAMVA", 2, "210", 106},
        {"AAMVA", 2, "75", 37},
        {"AAMVA", 3, "210", 79},
        {"AAMVA", 3, "75", 25},
        {"CUSTOM", 1, "", 220},
        {"CUSTOM", 3, "75", 220},
        {"ISO", 1, "", std::nullopt},
        {"USER", 1, "210", std::nullopt},
        {"PASS BOOK", 2, "210", std::nullopt},
        {"ISO", 4, "210", std::nullopt},
    };
    for (const LimitCase& c : cases)
        EXPECT_EQ(TrackLengthLimit(c.type, c.track, c.bpi), c.limit)
            << c.type << " track " << c.track << " at " << c.bpi;
}

} // namespace
