// The card details from the console: the simulator's ISO and AAMVA samples
// read by msrw-cli over a pseudo-terminal with --details and --json, the
// decode verb on the file to-file wrote, and the number masked in each
// unless --unmask is given.

#include "console/CliProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace msrw::test;

namespace {

const QString kNumber = "4111111111111111";
const QString kMasked = QString::fromUtf8("411111\u2022\u2022\u2022\u2022\u2022\u20221111");

// The bench takes the output as bytes, one a character; the details are UTF-8.
QString Utf8(const QString& bytes) {
    return QString::fromUtf8(bytes.toLatin1());
}

std::vector<QJsonObject> JsonLines(const QString& out) {
    std::vector<QJsonObject> objects;
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts))
        objects.push_back(QJsonDocument::fromJson(line.toLatin1()).object());
    return objects;
}

QJsonObject Details(const QJsonObject& line) {
    return line["details"].toObject();
}

// The value of a details field, "" when there is none.
QString Value(const QJsonObject& line, int track, const QString& field) {
    for (const QJsonValue& f : Details(line)["fields"].toArray()) {
        if (f.toObject()["track"].toInt() == track && f.toObject()["field"].toString() == field)
            return f.toObject()["value"].toString();
    }
    return {};
}

QString DetailsOf(const QJsonObject& line) {
    return QJsonDocument(Details(line)).toJson(QJsonDocument::Compact);
}

TEST(CardDetailsVerbs, ReadWithDetailsPrintsThemMaskedUnderTheTracks) {
    CliBench b;
    ASSERT_TRUE(b.sim.started());
    CliResult r = b.run({"--tracks", "123", "read", "--cards", "2", "--details"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QString out = Utf8(r.out);
    // The blank card has no tracks; the ISO sample's details follow its tracks.
    EXPECT_TRUE(out.startsWith("Read(1) OK!\n  Track 1: \n  Track 2: \n  Track 3: \n  no tracks\n"))
        << out.toStdString();
    const qsizetype details = out.indexOf("  Payment card (ISO/IEC 7813)\n");
    ASSERT_GT(details, out.indexOf("  Track 3: ;0123456789?\n")) << out.toStdString();
    const QString text = out.mid(details);
    EXPECT_TRUE(text.contains("      Card number: " + kMasked + "\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("    PASS Check digit: The check digit matches the number.\n"));
    EXPECT_FALSE(text.contains(kNumber)) << text.toStdString();

    r = b.run({"--tracks", "123", "--card-type", "AAMVA", "read", "--details", "--unmask"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("  Driver licence or ID card (AAMVA)\n"
                               "    Track 1:\n      Jurisdiction: CA\n      City: SPRINGFIELD\n"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("      Family name: DOE\n")) << r.out.toStdString();
}

TEST(CardDetailsVerbs, JsonCarriesTheDetailsMaskedUnlessUnmasked) {
    CliBench b;
    ASSERT_TRUE(b.sim.started());
    CliResult r = b.run({"--tracks", "123", "read", "--cards", "2", "--json"});
    auto lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out.toStdString();
    EXPECT_EQ(Details(lines[0])["layout"].toString(), "none");
    EXPECT_EQ(Details(lines[1])["layout"].toString(), "payment");
    EXPECT_EQ(Value(lines[1], 1, "number"), kMasked);
    EXPECT_EQ(Value(lines[1], 0, "network"), "Visa");
    EXPECT_FALSE(DetailsOf(lines[1]).contains(kNumber)) << DetailsOf(lines[1]).toStdString();

    r = b.run({"--tracks", "123", "--card-type", "AAMVA", "read", "--json", "--unmask"});
    lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 1u) << r.out.toStdString();
    EXPECT_EQ(Details(lines[0])["layout"].toString(), "aamva");
    EXPECT_EQ(Value(lines[0], 2, "number"), "1234567890");
    EXPECT_EQ(Value(lines[0], 3, "class"), "14");

    // Round the deck to the ISO sample again, unmasked this time.
    r = b.run({"--tracks", "123", "read", "--cards", "4", "--json", "--unmask"});
    lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 4u) << r.out.toStdString();
    EXPECT_EQ(Value(lines[3], 2, "number"), kNumber);
}

TEST(CardDetailsVerbs, DecodeTakesTheRecordsToFileWroteOrTheTracksGiven) {
    CliBench b;
    ASSERT_TRUE(b.sim.started());
    CliResult r =
        b.run({"--tracks", "123", "to-file", b.file("cards.ISO"), "--cards", "2", "--json"});
    auto lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out.toStdString();
    EXPECT_EQ(Value(lines[1], 2, "number"), kMasked);

    r = b.run({"decode", b.file("cards.ISO")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Card 1:\n  Payment card (ISO/IEC 7813)\n")) << r.out.toStdString();
    EXPECT_TRUE(Utf8(r.out).contains("      Card number: " + kMasked + "\n"));
    EXPECT_FALSE(r.out.contains(kNumber));
    EXPECT_FALSE(r.out.contains("Card 2:")); // the blank card left no record

    // A number that fails its check digit fails the run.
    r = b.run({"decode", "--json", "--track2", ";4111111111111112=2812101?"});
    EXPECT_EQ(r.status, 1);
    lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 1u) << r.out.toStdString();
    EXPECT_EQ(lines[0]["card"].toInt(), 1);
    EXPECT_EQ(Details(lines[0])["checks"].toArray()[0].toObject()["text"].toString(),
              "The check digit does not match: the number was read or written wrong.");
}

TEST(CardDetailsVerbs, DetailsOptionsAreRefusedWhereNothingIsRead) {
    CliBench b;
    ASSERT_TRUE(b.sim.started());
    b.write("header-only.ISO", "[SETUP]\r\nTYPE=ISO\r\n");
    b.write("long.ISO", "\x01" + QByteArray(5000, '1') + "\r\n\r\n");
    const std::pair<QStringList, const char*> cases[] = {
        {{"write", "--track2", ";1?", "--details"}, "--details and --unmask go with read"},
        {{"read", "--unmask"}, "--unmask shows the card number in --details or --json"},
        {{"decode"}, "give the tracks"},
        {{"decode", b.file("none.ISO")}, "cannot be read"},
        {{"decode", b.file("header-only.ISO")}, "no \"[DATA]\" line"},
        {{"decode", b.file("long.ISO")}, "line 1 is longer than any track"},
    };
    for (const auto& [args, reason] : cases) {
        const CliResult r = b.run(args);
        EXPECT_EQ(r.status, 2) << reason << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(reason)) << reason << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << reason;
    }
}

} // namespace
