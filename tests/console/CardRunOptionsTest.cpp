// The pure parts of the console card runs: the option words and the JSON of
// a result.

#include "console/CardRunOptions.h"
#include "console/ResultPrinter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::console;

TEST(CardRunOptions, OptionWordsAreReadStrictly) {
    EXPECT_EQ(TrackSelectNamed("2"), 0);
    EXPECT_EQ(TrackSelectNamed("12"), 1);
    EXPECT_EQ(TrackSelectNamed("123"), 2);
    for (const char* bad : {"", "1", "13", "23", "321", "1234", "12 "})
        EXPECT_FALSE(TrackSelectNamed(bad)) << bad;

    EXPECT_EQ(TrackListNamed("1,2,3"), (std::array<bool, 3>{true, true, true}));
    EXPECT_EQ(TrackListNamed("3"), (std::array<bool, 3>{false, false, true}));
    EXPECT_EQ(TrackListNamed("3,1"), (std::array<bool, 3>{true, false, true}));
    for (const char* bad : {"", ",", "1,", ",2", "1,1", "4", "12", "1;2", "0"})
        EXPECT_FALSE(TrackListNamed(bad)) << bad;

    EXPECT_EQ(ModeNamed("quell"), "Quell Mode");
    EXPECT_EQ(ModeNamed("Velk Mode"), "Velk Mode");
    EXPECT_EQ(ModeNamed("ORMOND"), "Ormond Mode");
    for (const char* bad : {"", "mode", "pellam", "ormond mode mode", "velkmode"})
        EXPECT_FALSE(ModeNamed(bad)) << bad;

    EXPECT_EQ(CountNamed("0", 0, 5), 0);
    EXPECT_EQ(CountNamed("999999999", 1, 999999999), 999999999);
    for (const char* bad : {"", "-1", "+3", "6", "1e3", " 1", "99999999999999999999"})
        EXPECT_FALSE(CountNamed(bad, 0, 5)) << bad;
}

TEST(ResultPrinter, JsonCarriesAnyTrackByteAndTracksOnlyAfterARead) {
    CardResult read{{"Read(7) OK!", kBlack}, true, 7, std::array<std::string, 3>{}};
    (*read.tracks)[0] = std::string("a\"b\\c\x01\x7F\xE9", 8);
    const std::string json = ResultJson(read);
    EXPECT_EQ(json.find('\n'), std::string::npos); // one line a result
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
    EXPECT_EQ(o["line"].toString(), "Read(7) OK!");
    EXPECT_TRUE(o["ok"].toBool());
    EXPECT_EQ(o["card"].toInt(), 7);
    EXPECT_EQ(o["tracks"].toArray()[0].toString(),
              QString::fromLatin1(std::string("a\"b\\c\x01\x7F\xE9", 8).c_str(), 8));

    const CardResult write{{"Write Record no. 3 Error!!", kRed}, false, 3, std::nullopt};
    const QJsonObject w =
        QJsonDocument::fromJson(QByteArray::fromStdString(ResultJson(write))).object();
    EXPECT_FALSE(w["ok"].toBool(true));
    EXPECT_FALSE(w.contains("tracks"));
    EXPECT_EQ(ResultText(write, 2), "Write Record no. 3 Error!!\n");
}
