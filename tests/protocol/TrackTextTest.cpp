#include "protocol/TrackText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace msrw::track {
namespace {

// The lengths of the lines of a CR LF wrapped text; a trailing break gives a
// last line of length 0.
std::vector<std::size_t> LineLengths(const std::string& text) {
    std::vector<std::size_t> lengths;
    std::size_t start = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", start)) {
        lengths.push_back(at - start);
        start = at + 2;
    }
    lengths.push_back(text.size() - start);
    return lengths;
}

// Distinct characters, so that a dropped or doubled one shows.
std::string Data(std::size_t n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i)
        text += static_cast<char>('0' + i % 43);
    return text;
}

TEST(TrackText, DisplayTkWrapsAt72ThenEvery70) {
    const struct {
        std::size_t length;
        std::vector<std::size_t> lines;
    } cases[] = {
        {0, {0}},      {1, {1}},           {71, {71}},         {72, {72, 0}},
        {73, {72, 1}}, {142, {72, 70, 0}}, {150, {72, 70, 8}}, {213, {72, 70, 70, 1}},
    };
    for (const auto& c : cases) {
        const std::string wrapped = WrapForDisplayTk(Data(c.length));
        EXPECT_EQ(LineLengths(wrapped), c.lines) << c.length;
        EXPECT_EQ(TakeLFOut(wrapped), Data(c.length)) << c.length;
    }
}

TEST(TrackText, TakeLFOutRemovesEveryBreak) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"AB\r\nCD\r\nEF\r\nGH", "ABCDEFGH"}, // three breaks: none may survive
        {"A\rB\nC", "ABC"},
        {"\r\n", ""},
        {"NO BREAKS", "NO BREAKS"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TakeLFOut(c.in), c.out) << c.in;
}

TEST(TrackText, InsertSlashSpellsEveryCodeInTwoDigits) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"AB", "\\41\\42"},
        {"?~ ", "\\3F\\7E\\20"},
        {std::string("\x09\xE9", 2), "\\09\\E9"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InsertSlash(c.in), c.out);
}

TEST(TrackText, SpacesToTildeInEveryTrack) {
    TrackTexts tracks{" A B ", "", "C  D"};
    SpacesToTilde(tracks);
    EXPECT_EQ(tracks, (TrackTexts{"~A~B~", "", "C~~D"}));
}

TEST(TrackText, RewrapGivesLinesOf82ThenEvery80) {
    const struct {
        std::size_t length;
        std::vector<std::size_t> lines;
    } cases[] = {
        {81, {81}}, {82, {82, 0}}, {83, {82, 1}}, {200, {82, 80, 38}}, {242, {82, 80, 80, 0}},
    };
    for (const auto& c : cases) {
        const FieldText out = RewrapTrackField(Data(c.length), 0);
        EXPECT_EQ(LineLengths(out.text), c.lines) << c.length;
        EXPECT_EQ(TakeLFOut(out.text), Data(c.length)) << c.length;
    }
}

TEST(TrackText, RewrapKeepsTheCaretAfterTheSameCharacter) {
    const std::string flat = Data(200);
    const std::string wrapped = RewrapTrackField(flat, 0).text;
    // A character typed into line 1 of wrapped text pushes one over the break.
    const std::string typed = "x" + wrapped;
    const struct {
        const char* what;
        std::string text;
        std::size_t caret, expected;
    } cases[] = {
        {"start", flat, 0, 0},
        {"inside line 1", flat, 10, 10},
        {"end of line 1 moves past the break", flat, 82, 84},
        {"inside line 2", flat, 100, 102},
        {"end of line 2 moves past the break", flat, 162, 166},
        {"end of text", flat, 200, 204},
        {"caret beyond the text", flat, 999, 204},
        {"typed into wrapped text", typed, 1, 1},
        {"typed text, caret in line 2", typed, 90, 90},
        {"between CR and LF of an old break", "AB\r\nCD", 3, 2},
        {"after an old break elsewhere", "AB\r\nCD", 5, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RewrapTrackField(c.text, c.caret).caret, c.expected) << c.what;
}

TEST(TrackText, RewrapOfAnEmptyFieldChangesNothing) {
    EXPECT_EQ(RewrapTrackField("", 0), (FieldText{"", 0}));
}

} // namespace
} // namespace msrw::track
