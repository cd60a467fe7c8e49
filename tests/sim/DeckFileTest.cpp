#include "sim/DeckFile.h"
#include "sim/CardOps.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace msrw::sim::test {
namespace {

// A header as Read To File writes it, with the given per-track values.
std::string Header(int cardType, const char* formatLines, const char* bpiLines) {
    return "[SETUP]\r\nCARDTYPE =" + std::to_string(cardType) + "\r\n" + formatLines + bpiLines +
           "\r\n[DATA]\r\n";
}

const char* const kIsoFormat = "PARITY1 =1\r\nPARITY2 =1\r\nPARITY3 =1\r\nBPC1 =7\r\nBPC2 =5\r\n"
                               "BPC3 =5\r\nSS1 =5\r\nSS2 =11\r\nSS3 =11\r\nES1 =31\r\nES2 =15\r\n"
                               "ES3 =15\r\n";
const char* const kBpi = "BPI1 =210\r\nBPI2 =75\r\nBPI3 =210\r\n";

Deck Parse(const std::string& content) {
    QString error;
    auto deck = ParseDeck(content, error);
    EXPECT_TRUE(deck) << error.toStdString();
    return deck ? *deck : Deck();
}

TEST(DeckFile, IsoRecordsBecomeCardsWithSentinelsAddedAndBlankCardsForEmptyRecords) {
    Deck deck = Parse(Header(0, kIsoFormat, kBpi) + "\x01"
                                                    "ABC\r\n\x02"
                                                    "123=45\r\n\r\n\r\n");
    ASSERT_EQ(deck.size(), 2u);
    const VirtualCard& card = deck[0].card;
    EXPECT_EQ(ReadDecoded(card.tracks[0], 7).data, "%ABC?");
    EXPECT_EQ(ReadDecoded(card.tracks[1], 5).data, ";123=45?");
    EXPECT_TRUE(card.tracks[2].isBlank());
    EXPECT_EQ(card.tracks[1].firstOne(), 22u) << "track 2 at 75 BPI";
    for (const Stripe& track : deck[1].card.tracks)
        EXPECT_TRUE(track.isBlank());
}

TEST(DeckFile, LineFeedsAloneAndAMissingLastEmptyLineAreAccepted) {
    std::string content = Header(1, kIsoFormat, kBpi) + "\x03"
                                                        "XYZ";
    for (std::size_t at = content.find("\r\n"); at != std::string::npos; at = content.find("\r\n"))
        content.erase(at, 1);
    Deck deck = Parse(content);
    ASSERT_EQ(deck.size(), 1u);
    EXPECT_EQ(ReadDecoded(deck[0].card.tracks[2], 7).data, "%XYZ?") << "AAMVA track 3 is 7-bit";
}

TEST(DeckFile, UserAndRawAndPassBookTracksFollowTheHeader) {
    const char* userFormat = "PARITY1 =0\r\nPARITY2 =2\r\nPARITY3 =1\r\nBPC1 =6\r\nBPC2 =5\r\n"
                             "BPC3 =4\r\nSS1 =5\r\nSS2 =11\r\nSS3 =11\r\nES1 =31\r\nES2 =15\r\n"
                             "ES3 =12\r\n";
    Deck user = Parse(Header(3, userFormat, kBpi) + "\x01HI\r\n\x02"
                                                    "77\r\n\x03"
                                                    "5\r\n\r\n");
    const VirtualCard& u = user[0].card;
    EXPECT_EQ(ReadDecoded(u.tracks[0], 6).data, "%HI?");
    EXPECT_EQ(
        DecodeCharacters(u.tracks[1].bits(), *u.tracks[1].firstOne(), {5, Parity::Even}).chars,
        ";77?");
    EXPECT_EQ(
        DecodeCharacters(u.tracks[2].bits(), *u.tracks[2].firstOne(), {4, Parity::None}, "<").chars,
        ";5<");

    Deck raw = Parse(Header(4, kIsoFormat, kBpi) + "\x02"
                                                   "A5C3\r\n\r\n");
    EXPECT_EQ(raw[0].card.tracks[1].rawBytes(), "\xA5\xC3");

    const char* passBook = "PARITY1 =1\r\nPARITY2 =1\r\nPARITY3 =1\r\nSYNC1  =0\r\nSYNC2  =25\r\n"
                           "SYNC3  =0\r\nSS1 =11\r\nSS2 =11\r\nSS3 =11\r\nES1 =12\r\nES2 =12\r\n"
                           "ES3 =12\r\n";
    Deck book = Parse(Header(5, passBook, "BPI =210\r\nBPI =210\r\nBPI =210\r\n") + "\x02"
                                                                                    "0042\r\n\r\n");
    const Stripe& track2 = book[0].card.tracks[1];
    EXPECT_EQ(ReadPassBook(track2).data, ";0042<");
    EXPECT_EQ(track2.bits().size(), 61u + 2 * 35 + 32) << "recorded twice around 32 sync zeros";
}

struct BadFile {
    std::string content;
    const char* message;
};

class BadDeckFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadDeckFile, IsRefusedWithAClearMessage) {
    QString error;
    EXPECT_FALSE(ParseDeck(GetParam().content, error));
    EXPECT_NE(error.toStdString().find(GetParam().message), std::string::npos)
        << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BadDeckFile,
    ::testing::Values(
        BadFile{"", "begins with the line [SETUP]"},
        BadFile{"CARDTYPE =0\r\n", "line 1: a card data file begins with the line [SETUP]"},
        BadFile{"[SETUP]\r\nCARDTYPE =0\r\n", "the [DATA] line is missing"},
        BadFile{"[SETUP]\r\nCARDTYPE =2\r\n[DATA]\r\n\x01"
                "A\r\n",
                "CARDTYPE must be"},
        BadFile{"[SETUP]\r\nCARDTYPE =0\r\nBPC1 =seven\r\n[DATA]\r\n",
                "line 3: expected a setting"},
        BadFile{"[SETUP]\r\nCARDTYPE =0\r\n[DATA]\r\nA\r\n", "line 4: a track line begins"},
        BadFile{"[SETUP]\r\nCARDTYPE =0\r\n[DATA]\r\n\x02"
                "12A\r\n",
                "line 4: track 2 does not fit"},
        BadFile{"[SETUP]\r\nCARDTYPE =4\r\n[DATA]\r\n\r\n\x01"
                "XY\r\n",
                "line 5: track 1"},
        BadFile{"[SETUP]\r\nCARDTYPE =3\r\nBPC1 =8\r\n[DATA]\r\n\x01"
                "A\r\n",
                "track 1"},
        BadFile{"[SETUP]\r\nCARDTYPE =0\r\n[DATA]\r\n", "no card records"}));

TEST(DeckFile, AMissingFileIsNamedInTheMessage) {
    QTemporaryDir dir;
    const QString path = dir.filePath("none.ISO");
    QString error;
    EXPECT_FALSE(LoadDeckFile(path, error));
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
}

// A device file reports size 0 and never ends: it is read with a bound.
TEST(DeckFile, AnEndlessFileIsRefusedNotReadForEver) {
    QString error;
    EXPECT_FALSE(LoadDeckFile("/dev/zero", error));
    EXPECT_TRUE(error.contains("too large")) << error.toStdString();
}

} // namespace
} // namespace msrw::sim::test
