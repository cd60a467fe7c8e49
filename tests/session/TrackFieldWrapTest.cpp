#include "session/TrackFieldWrap.h"

#include "session/MainView.h"

#include <gtest/gtest.h>

using namespace msrw;

namespace {

std::vector<std::size_t> LineLengths(const std::string& text) {
    std::vector<std::size_t> lengths;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        lengths.push_back(at - start);
    lengths.push_back(text.size() - start);
    return lengths;
}

TEST(TrackFieldWrap, TwoHundredCharactersShowAsLinesOf82And80And38) {
    TrackBox box;
    box.text = std::string(200, '5');
    std::size_t caret = 200;
    txtTrk_Change(box, caret);
    EXPECT_EQ(LineLengths(box.text), (std::vector<std::size_t>{82, 80, 38}));
    EXPECT_EQ(caret, box.text.size());

    // An edit in the middle re-wraps again; the caret stays after its character.
    box.text.insert(10, "9");
    caret = 11;
    txtTrk_Change(box, caret);
    EXPECT_EQ(LineLengths(box.text), (std::vector<std::size_t>{82, 80, 39}));
    EXPECT_EQ(box.text[caret - 1], '9');
}

TEST(TrackFieldWrap, LeavesTheFieldWhileTheReadDisplayWritesIt) {
    TrackBox box;
    box.text = std::string(100, '5');
    std::size_t caret = 3;
    txtTrk_Change(box, caret, true);
    EXPECT_EQ(box.text, std::string(100, '5'));
    EXPECT_EQ(caret, 3u);

    box.text.clear();
    caret = 7; // a caret past the end of an empty field does no harm
    txtTrk_Change(box, caret);
    EXPECT_EQ(box.text, "");
}

} // namespace
