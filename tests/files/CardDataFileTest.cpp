// Card data files: headers byte for byte, records, lines, the header check
// and the sentinel values of a header.

#include "files/CardDataFile.h"

#include <gtest/gtest.h>

using namespace msrw::cardfile;

namespace {

using Lines = std::vector<std::string>;

TEST(CardDataFile, FixedHeadersAreByteForByte) {
    HeaderValues v;
    v.bpi = {"210", "75", "210"};
    EXPECT_EQ(JoinLines(HeaderLines(Kind::Iso, v)),
              "[SETUP]\r\nCARDTYPE =0\r\nPARITY1 =1\r\nPARITY2 =1\r\nPARITY3 =1\r\n"
              "BPC1 =7\r\nBPC2 =5\r\nBPC3 =5\r\nSS1 =5\r\nSS2 =11\r\nSS3 =11\r\n"
              "ES1 =31\r\nES2 =15\r\nES3 =15\r\nBPI1 =210\r\nBPI2 =75\r\nBPI3 =210\r\n\r\n"
              "[DATA]\r\n");
    v.bpi = {"210", "210", "210"};
    EXPECT_EQ(JoinLines(HeaderLines(Kind::Aamva, v)),
              "[SETUP]\r\nCARDTYPE =1\r\nPARITY1 =1\r\nPARITY2 =1\r\nPARITY3 =1\r\n"
              "BPC1 =7\r\nBPC2 =5\r\nBPC3 =7\r\nSS1 =5\r\nSS2 =11\r\nSS3 =5\r\n"
              "ES1 =31\r\nES2 =15\r\nES3 =31\r\nBPI1 =210\r\nBPI2 =210\r\nBPI3 =210\r\n\r\n"
              "[DATA]\r\n");
}

TEST(CardDataFile, SetUpHeadersCarryTheValuesGiven) {
    HeaderValues v{{0, 1, 2}, {"6", "5", "4"}, {1, 11, 13}, {0, 15, 12}, {"75", "210", "75"}};
    const Lines user = HeaderLines(Kind::User, v);
    ASSERT_EQ(user.size(), 19u);
    EXPECT_EQ(user[1], "CARDTYPE =3");
    EXPECT_EQ(Lines(user.begin() + 2, user.begin() + 17),
              (Lines{"PARITY1 =0", "PARITY2 =1", "PARITY3 =2", "BPC1 =6", "BPC2 =5", "BPC3 =4",
                     "SS1 =1", "SS2 =11", "SS3 =13", "ES1 =0", "ES2 =15", "ES3 =12", "BPI1 =75",
                     "BPI2 =210", "BPI3 =75"}));
    EXPECT_EQ(user[17], "");
    EXPECT_EQ(user[18], "[DATA]");
    const Lines raw = HeaderLines(Kind::Raw, v);
    EXPECT_EQ(raw[1], "CARDTYPE =4");
    EXPECT_EQ(Lines(raw.begin() + 2, raw.end()), Lines(user.begin() + 2, user.end()));

    const HeaderValues pb{
        {1, 1, 1}, {"25", "60", "0"}, {11, 13, 11}, {12, 15, 12}, {"210", "210", "75"}};
    EXPECT_EQ(JoinLines(HeaderLines(Kind::PassBook, pb)),
              "[SETUP]\r\nCARDTYPE =5\r\nPARITY1 =1\r\nPARITY2 =1\r\nPARITY3 =1\r\n"
              "SYNC1  =25\r\nSYNC2  =60\r\nSYNC3  =0\r\nSS1 =11\r\nSS2 =13\r\nSS3 =11\r\n"
              "ES1 =12\r\nES2 =15\r\nES3 =12\r\nBPI =210\r\nBPI =210\r\nBPI =75\r\n\r\n"
              "[DATA]\r\n");
}

TEST(CardDataFile, KindsExtensionsAndFilters) {
    struct Case {
        const char* type;
        Kind kind;
        const char* extension;
        const char* filter;
    };
    for (const Case& c : {Case{"ISO", Kind::Iso, ".ISO", "ISO(*.ISO)|*.ISO"},
                          Case{"AAMVA", Kind::Aamva, ".AMV", "AMV(*.AMV)|*.AMV"},
                          Case{"USER", Kind::User, ".USE", "USE(*.USE)|*.USE"},
                          Case{"RAW", Kind::Raw, ".RAW", "RAW(*.RAW)|*.RAW"},
                          Case{"PASS BOOK", Kind::PassBook, ".PAS", "PAS(*.PAS)|*.PAS"}}) {
        ASSERT_EQ(KindFor(c.type), c.kind) << c.type;
        EXPECT_EQ(Extension(c.kind), c.extension);
        EXPECT_EQ(DialogFilter(c.kind), c.filter);
    }
    EXPECT_FALSE(KindFor("CDL"));
    EXPECT_FALSE(KindFor("iso"));
    EXPECT_EQ(WithExtension("card.iso", Kind::Iso), "card.iso.ISO");
    EXPECT_EQ(WithExtension("old.ISO.bak", Kind::Iso), "old.ISO.bak");
    EXPECT_EQ(WithExtension("/d/cards", Kind::PassBook), "/d/cards.PAS");
}

TEST(CardDataFile, RecordsAndLines) {
    EXPECT_EQ(RecordText({"A B", "", "9"}), "\x01"
                                            "A B\r\n\x03"
                                            "9\r\n\r\n");
    EXPECT_EQ(RecordText({"", "", ""}), "\r\n");
    struct Case {
        std::string line;
        int track;
        std::string text;
    };
    for (const Case& c : {Case{"\x02"
                               "123\r\n",
                               2, "123"},
                          Case{"\x01", 1, ""},
                          Case{"\x03"
                               "x\n",
                               3, "x"},
                          Case{"\x04"
                               "x",
                               0,
                               "\x04"
                               "x"},
                          Case{"\r\n", 0, ""}, Case{"[DATA]", 0, "[DATA]"}}) {
        const FileLine l = SplitFileLine(c.line);
        EXPECT_EQ(l.track, c.track) << c.line;
        EXPECT_EQ(l.text, c.text) << c.line;
    }
}

TEST(CardDataFile, HeaderCheckTakesBothLengthsAndRefusesTheRest) {
    const Lines full = HeaderLines(Kind::User, {});
    HeaderCheck check = CheckHeader(full);
    ASSERT_TRUE(check.header);
    EXPECT_EQ(check.header->lines.size(), 19u);
    EXPECT_TRUE(check.header->hasBpiLines());

    Lines shortHeader(full.begin(), full.begin() + 15);
    shortHeader.push_back("[DATA]");
    check = CheckHeader(shortHeader);
    ASSERT_TRUE(check.header);
    EXPECT_EQ(check.header->lines.size(), 16u);
    EXPECT_FALSE(check.header->hasBpiLines());

    struct Bad {
        Lines lines;
        int line;
    };
    Lines binary = full;
    binary[6] = "BPC2 =\x01\x7f";
    Lines noData = full;
    noData[18] = "\x02"
                 "123";
    for (const Bad& b :
         {Bad{{}, 1}, Bad{{"CARDTYPE =0"}, 1}, Bad{Lines(full.begin(), full.begin() + 10), 10},
          Bad{binary, 7}, Bad{noData, 19}}) {
        const HeaderCheck c = CheckHeader(b.lines);
        EXPECT_FALSE(c.header);
        EXPECT_EQ(c.problem.line, b.line);
        EXPECT_FALSE(c.problem.reason.empty());
    }
}

TEST(CardDataFile, HeaderValuesByPosition) {
    HeaderValues v{{0, 2, 1}, {"4", "6", "7"}, {1, 3, 5}, {0, 1, 2}, {"75", "210", "80"}};
    const Header h{HeaderLines(Kind::User, v)};
    EXPECT_EQ(ParityPosition(h, 1), 0);
    EXPECT_EQ(ParityPosition(h, 2), 2);
    EXPECT_EQ(BitsPerCharacter(h, 1), 4);
    EXPECT_EQ(BitsPerCharacter(h, 3), 7);
    EXPECT_EQ(BpiPosition(h, 1), 1);
    EXPECT_EQ(BpiPosition(h, 2), 0);
    EXPECT_FALSE(BpiPosition(h, 3)); // 80 is no density of the list
    EXPECT_EQ(SentinelValue(h, Sentinel::Start, 3), "5");
    EXPECT_EQ(SentinelValue(h, Sentinel::End, 2), "1");

    Header blankAfter = h;
    blankAfter.lines[14] = "BPI1 = 210";
    EXPECT_FALSE(BpiPosition(blankAfter, 1));
    Header odd = h;
    odd.lines[2] = "PARITY1 =x";
    odd.lines[5] = "BPC1 =9";
    EXPECT_FALSE(ParityPosition(odd, 1));
    EXPECT_FALSE(BitsPerCharacter(odd, 1));

    const Header pb{HeaderLines(Kind::PassBook, {{1, 1, 1}, {"25", "60", "0"}, {}, {}, {}})};
    EXPECT_EQ(SyncZeros(pb, 1), "25");
    EXPECT_EQ(SyncZeros(pb, 3), "0");
}

TEST(CardDataFile, SentinelCodesReadBackAsTheSameCharacter) {
    // Every sentinel of every set: the code written reads back as itself.
    for (int bits : {7, 6, 5, 4})
        for (int track : {1, 2, 3})
            for (Sentinel which : {Sentinel::Start, Sentinel::End}) {
                const std::string set = SentinelSet(which, bits, track);
                for (char c : set) {
                    const std::string code = std::to_string(SentinelCode(c, bits));
                    EXPECT_EQ(SentinelFromValue(code, set, bits), c)
                        << bits << " bits, track " << track << ", " << c;
                }
            }
    for (Sentinel which : {Sentinel::Start, Sentinel::End}) {
        const std::string set = PassBookSentinelSet(which);
        for (char c : set)
            EXPECT_EQ(SentinelFromValue(std::to_string(SentinelCode(c, 5)), set, 5), c);
    }
}

TEST(CardDataFile, SentinelValuesAsCodesOrCharacters) {
    const std::string wideStart = SentinelSet(Sentinel::Start, 7, 1);
    const std::string wideEnd = SentinelSet(Sentinel::End, 7, 1);
    const std::string narrowStart2 = SentinelSet(Sentinel::Start, 5, 2);
    EXPECT_EQ(wideStart, "!#%')+-/13579;=?ACEGIKMOQSUWY[]_");
    EXPECT_EQ(wideEnd.size(), 64u);
    EXPECT_EQ(wideEnd.front(), '~');
    EXPECT_EQ(narrowStart2, "13579;<=?");
    EXPECT_EQ(SentinelSet(Sentinel::Start, 4, 3), "13579;=?");
    EXPECT_EQ(SentinelSet(Sentinel::End, 4, 1), "0123456789:;<=>?");

    struct Case {
        std::string value;
        std::string set;
        int bits;
        std::optional<char> found;
    };
    for (const Case& c : {
             Case{"5", wideStart, 7, '%'}, // a code, as Read To File writes it
             Case{"%", wideStart, 7, '%'}, // a character, as a hand-made file has it
             Case{"31", wideEnd, 6, '?'},
             Case{"0", wideEnd, 7, '~'}, // the blank
             Case{"~", wideEnd, 7, '~'},
             Case{"`", wideEnd, 7, '\''},
             Case{"12", narrowStart2, 5, '<'},
             Case{"11", SentinelSet(Sentinel::Start, 5, 1), 5, ';'},
             Case{"2", wideStart, 7, std::nullopt}, // '"' has an even code
             Case{"64", wideEnd, 7, std::nullopt},
             Case{"-1", wideEnd, 7, std::nullopt},
             Case{"", wideEnd, 7, std::nullopt},
             Case{"%%", wideStart, 7, std::nullopt},
             Case{"11", PassBookSentinelSet(Sentinel::Start), 5, ';'},
             Case{"1", PassBookSentinelSet(Sentinel::Start), 5, std::nullopt},
             Case{"?", PassBookSentinelSet(Sentinel::End), 5, '?'},
         }) {
        EXPECT_EQ(SentinelFromValue(c.value, c.set, c.bits), c.found) << c.value << " in " << c.set;
    }
}

} // namespace
