#include "console/DetailsOutput.h"
#include "console/ResultPrinter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::console;

namespace {

// The details' JSON is written by hand: any byte a track holds must come out
// as a JSON string a parser reads back.
TEST(DetailsOutput, JsonCarriesAnyByteOfATrack) {
    const std::string city = "SPRING\"FI\\\x01\xE9"; // 12 of its 13
    const CardResult result{{"Read(1) OK!", kBlack},
                            true,
                            1,
                            std::array<std::string, 3>{"CA" + city + "^DOE$JANE^1 MAIN^", "", ""}};
    const details::CardDetails d = details::DecodeCardDetails(*result.tracks, {{2026, 12, 7}});
    QJsonParseError error{};
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray::fromStdString(ResultJson(result, &d)), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << ResultJson(result, &d);
    EXPECT_EQ(doc["line"].toString(), "Read(1) OK!");
    const QJsonObject details = doc["details"].toObject();
    EXPECT_EQ(details["layout"].toString(), "aamva");
    const QJsonObject field = details["fields"].toArray()[1].toObject();
    EXPECT_EQ(field["field"].toString(), "city");
    EXPECT_EQ(field["value"].toString(), QString::fromLatin1(city.data(), qsizetype(city.size())));
    EXPECT_EQ(details["checks"].toArray().size(), 0); // no track 2: nothing to check
}

} // namespace
