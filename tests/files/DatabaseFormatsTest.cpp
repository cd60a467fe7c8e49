// The database's formats: the usage file's counted lines and layouts, track
// templates, CSV records, and the history file's number and name.

#include "files/CsvRecord.h"
#include "files/HistoryFile.h"
#include "files/UsageFile.h"

#include <gtest/gtest.h>

using namespace msrw;

namespace {

using Lines = std::vector<std::string>;

const Lines kUserFile = {"//a database for member cards",
                         "[SETUP]",
                         "CARDTYPE=USER",
                         "BPI1=210",
                         "BPI2=75",
                         "//BPI3=",
                         "BPC1=7",
                         "BPC2=5",
                         "BPC3=6",
                         "PARITY1=ODD",
                         "PARITY2=EVEN",
                         "PARITY3=ODD",
                         "SS1=%",
                         "SS2=;",
                         "SS3=#",
                         "ES1=?",
                         "ES2=?",
                         "ES3=~",
                         "[DATA]",
                         "Trk1:fa^fb",
                         "Trk2:fc=",
                         "Trk3:ID:fafb",
                         "//end",
                         "Trk9:ignored"};

usage::Parsed Parse(const Lines& lines) {
    return usage::ParseUsage(usage::CollectLines(lines));
}

TEST(UsageFile, CountedLinesDropCommentsKeepCommentedKeysAndStopAtEnd) {
    const usage::CountedLines c = usage::CollectLines(kUserFile);
    ASSERT_EQ(c.lines.size(), 20u);
    EXPECT_EQ(c.lines[0], "CARDTYPE=USER");
    EXPECT_EQ(c.lines[3], "//BPI3=");
    EXPECT_EQ(c.lines.back(), "Trk3:ID:fafb");
    EXPECT_EQ(c.fileLine[0], 3);
    EXPECT_EQ(c.fileLine[19], 22);
    EXPECT_FALSE(c.passBook);

    // "//SYNC1=" counts in a pass-book file only, "//BPC1=" in the others.
    EXPECT_EQ(usage::CollectLines({"//SYNC1=", "//BPC1="}).lines, Lines{"//BPC1="});
    EXPECT_EQ(usage::CollectLines({"CARDTYPE=PASS BOOK\r", "//SYNC1=", "//BPC1="}).lines,
              (Lines{"CARDTYPE=PASS BOOK", "//SYNC1="}));
    const Lines many(400, "x");
    EXPECT_EQ(usage::CollectLines(many).lines.size(), usage::kMaxCountedLines);
}

TEST(UsageFile, UserLayoutBecomesListPositions) {
    const usage::Parsed p = Parse(kUserFile);
    ASSERT_TRUE(p.setup) << p.problem.detail;
    const usage::Setup& s = *p.setup;
    EXPECT_EQ(s.kind, usage::CardKind::User);
    EXPECT_EQ(usage::CardTypePosition(s.kind), 2);
    EXPECT_EQ(s.bpi, (std::array<int, 3>{0, 1, 0})); // "//BPI3=" is 210
    EXPECT_EQ(s.bpc, (std::array<int, 3>{0, 2, 1}));
    EXPECT_EQ(s.parity, (std::array<int, 3>{1, 2, 0})); // a 6-bit track carries no parity
    EXPECT_EQ(s.startSentinel, (std::array<char, 3>{'%', ';', '#'}));
    EXPECT_EQ(s.endSentinel, (std::array<char, 3>{'?', '?', '~'}));
    EXPECT_EQ(s.templates, (std::array<std::string, 3>{"fa^fb", "fc=", "ID:fafb"}));
}

TEST(UsageFile, IsoAamvaAndPassBookLayouts) {
    usage::Parsed p =
        Parse({"CARDTYPE=ISO", "BPI1=210", "BPI2=75", "BPI3=210", "Trk1:fa", "Trk2:fb", "Trk3:"});
    ASSERT_TRUE(p.setup);
    EXPECT_EQ(p.setup->kind, usage::CardKind::Iso);
    EXPECT_EQ(p.setup->bpi, (std::array<int, 3>{0, 1, 0}));
    EXPECT_EQ(p.setup->templates[2], "");

    p = Parse({"CARDTYPE=AAMVA", "BPI1=75", "BPI2=75", "BPI3=75", "note", "[DATA]", "Trk1:fa",
               "Trk2:fb", "Trk3:fc"});
    ASSERT_TRUE(p.setup);
    EXPECT_EQ(p.setup->kind, usage::CardKind::Aamva);
    EXPECT_EQ(p.setup->templates[1], "fb");

    p = Parse({"CARDTYPE=PASS BOOK",
               "BPI1=210",
               "BPI2=210",
               "BPI3=210",
               "SYNC1=25",
               "SYNC2=60",
               "//SYNC3=",
               "PARITY1=ODD",
               "PARITY2=ODD",
               "PARITY3=ODD",
               "SS1=;",
               "SS2==",
               "//SS3=",
               "ES1=<",
               "ES2=?",
               "//ES3=",
               "[DATA]",
               "Trk1:",
               "Trk2:fa",
               "Trk3:fb"});
    ASSERT_TRUE(p.setup) << p.problem.detail;
    EXPECT_EQ(p.setup->kind, usage::CardKind::PassBook);
    EXPECT_EQ(usage::CardTypePosition(p.setup->kind), 4);
    EXPECT_EQ(p.setup->syncZeros, (std::array<int, 3>{1, 2, 1}));
    EXPECT_EQ(p.setup->passBookStart, (std::array<int, 3>{0, 1, 0}));
    EXPECT_EQ(p.setup->passBookEnd, (std::array<int, 3>{0, 1, 0}));
}

TEST(UsageFile, ACommentedKeyStandsForItsDefaultWhateverFollowsIt) {
    Lines lines = kUserFile;
    lines[3] = "//BPI1=75";      // 210
    lines[9] = "//PARITY1=EVEN"; // ODD
    lines[12] = "//SS1=#";       // the list's first entry
    lines[16] = "//ES2=x";       // "0", the 4-bit list's first
    const usage::Parsed p = Parse(lines);
    ASSERT_TRUE(p.setup) << p.problem.detail;
    EXPECT_EQ(p.setup->bpi[0], 0);
    EXPECT_EQ(p.setup->parity[0], 1);
    EXPECT_EQ(p.setup->startSentinel, (std::array<char, 3>{'!', ';', '#'}));
    EXPECT_EQ(p.setup->endSentinel, (std::array<char, 3>{'?', '0', '~'}));
}

TEST(UsageFile, RefusalsNameTheMessageAndTheFileLine) {
    struct Case {
        const char* what;
        std::size_t index; // kUserFile line replaced (from 0)
        std::string line;
        std::string message;
    };
    const std::string parity2 = "Wrong parity setting for track 2.";
    for (const Case& c : {
             Case{"BPI out of its list", 3, "BPI1=80", usage::kWrongFormat},
             Case{"lines out of order", 6, "PARITY1=ODD", usage::kWrongFormat},
             Case{"no parity on a 5-bit track", 10, "PARITY2=NONE", parity2},
             Case{"start sentinel not odd", 12, "SS1=\"", usage::kWrongFormat},
             Case{"narrow end sentinel", 16, "ES2=A", usage::kWrongFormat},
             Case{"template prefix", 20, "Trk3:fc", usage::kWrongFormat},
             Case{"template names no field", 19, "Trk1:fA", usage::kWrongFormat},
             Case{"template ends in f", 19, "Trk1:abcf", usage::kWrongFormat},
             Case{"no [DATA]", 18, "DATA", usage::kWrongFormat},
         }) {
        Lines lines = kUserFile;
        lines[c.index] = c.line;
        const usage::Parsed p = Parse(lines);
        EXPECT_FALSE(p.setup) << c.what;
        EXPECT_EQ(p.problem.message, c.message) << c.what;
        EXPECT_EQ(p.problem.fileLine, int(c.index + 1)) << c.what;
        EXPECT_FALSE(p.problem.detail.empty()) << c.what;
    }
    EXPECT_FALSE(Parse({"hello", "world"}).setup);
    EXPECT_FALSE(Parse({}).setup);
}

TEST(UsageFile, TemplatesFillFromTheFields) {
    int missing = -1;
    EXPECT_EQ(usage::FillTemplate("ID:fafb", {"12", "34"}, missing), "ID:1234");
    EXPECT_EQ(usage::FillTemplate("fz", std::vector<std::string>(26, "z"), missing), "z");
    EXPECT_EQ(usage::FillTemplate("plain", {}, missing), "plain");
    EXPECT_FALSE(usage::FillTemplate("fafc", {"1", "2"}, missing));
    EXPECT_EQ(missing, 3);
    EXPECT_FALSE(usage::FillTemplate("fb", {"1", ""}, missing));
    EXPECT_EQ(missing, 2);
    EXPECT_TRUE(usage::TemplateWellFormed("fa-fz"));
    EXPECT_FALSE(usage::TemplateWellFormed("of"));
    EXPECT_FALSE(usage::TemplateWellFormed("f1"));
}

TEST(CsvRecord, FieldsPlainAndQuoted) {
    using F = std::vector<std::string>;
    struct Case {
        std::string line;
        F fields;
    };
    for (const Case& c : {
             Case{"12,34", {"12", "34"}},
             Case{"", {""}},
             Case{",a,", {"", "a", ""}},
             Case{"\"SMITH, JOHN\",7", {"SMITH, JOHN", "7"}},
             Case{"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
             Case{"a\"b,c", {"a\"b", "c"}}, // a quote inside a plain field is text
             Case{"\"\",1", {"", "1"}},
         }) {
        const csv::Record r = csv::ParseRecord(c.line);
        EXPECT_TRUE(r.problem.empty()) << c.line;
        EXPECT_EQ(r.fields, c.fields) << c.line;
    }
    EXPECT_FALSE(csv::ParseRecord("\"open,1").problem.empty());
    std::string hundred = "x";
    for (int i = 1; i < 100; ++i)
        hundred += ",x";
    EXPECT_TRUE(csv::ParseRecord(hundred).problem.empty());
    EXPECT_FALSE(csv::ParseRecord(hundred + ",x").problem.empty());
}

TEST(HistoryFile, NumbersAndNames) {
    EXPECT_EQ(history::ParseRecordNumber(" 6 \r\n"), 6);
    EXPECT_EQ(history::ParseRecordNumber("1"), 1);
    for (const char* bad : {"", "abc", "0", "-3", "6 7", "99999999999999999999"})
        EXPECT_FALSE(history::ParseRecordNumber(bad)) << bad;
    EXPECT_EQ(history::RecordNumberText(12), "12\r\n");
    EXPECT_EQ(history::HistoryFileName("/d/members.txt"), "/d/members.his");
    EXPECT_EQ(history::DatabaseFileName("/d/members.txt"), "/d/members.csv");
}

} // namespace
