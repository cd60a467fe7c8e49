#include "cards/CardDetails.h"
#include "cards/PaymentCard.h"

#include <gtest/gtest.h>
#include <vector>

using namespace msrw;
using namespace msrw::details;

namespace {

const Date kToday{2026, 12, 7};
const std::string kDot = "\xE2\x80\xA2";

CardDetails Decode(const std::array<std::string, 3>& tracks, Date today = kToday,
                   bool unmask = false) {
    return DecodeCardDetails(tracks, {today, unmask});
}

const Field& FieldOf(const CardDetails& d, int track, const std::string& key) {
    for (const Field& f : d.fields) {
        if (f.track == track && f.key == key)
            return f;
    }
    static const Field none{-1, "", "", "<no such field>", FieldState::Missing};
    return none;
}

const Check& CheckOf(const CardDetails& d, const std::string& key) {
    for (const Check& c : d.checks) {
        if (c.key == key)
            return c;
    }
    static const Check none{"", "", false, "<no such check>"};
    return none;
}

std::string Dots(int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += kDot;
    return out;
}

TEST(CardDetails, LuhnCheckDigit) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"4111111111111111", true},
        {"4111111111111112", false},
        {"79927398713", true},
        {"79927398710", false},
        {"378282246310005", true},
        {"378282246310006", false},
        {"0", false},
        {"00", true},
        {"41a1", false},
        {"", false},
    };
    for (const auto& [number, valid] : cases)
        EXPECT_EQ(LuhnValid(number), valid) << number;
}

TEST(CardDetails, NetworkFromLeadingDigits) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"4111111111111111", "Visa"},
        {"5105105105105100", "Mastercard"},
        {"5000000000000000", "unknown"},
        {"5600000000000000", "unknown"},
        {"2221000000000009", "Mastercard"},
        {"2720990000000000", "Mastercard"},
        {"2220990000000000", "unknown"},
        {"2721000000000000", "unknown"},
        {"340000000000009", "American Express"},
        {"371449635398431", "American Express"},
        {"3528000000000000", "JCB"},
        {"3589000000000000", "JCB"},
        {"3590000000000000", "unknown"},
        {"6011000000000004", "Discover"},
        {"6440000000000000", "Discover"},
        {"6500000000000000", "Discover"},
        {"6200000000000000", "UnionPay"},
        {"30000000000004", "Diners Club"},
        {"30500000000000", "Diners Club"},
        {"30600000000000", "unknown"},
        {"5018000000000000", "Maestro"},
        {"6763000000000000", "Maestro"},
        {"9999", "unknown"},
        {"4", "Visa"},
        {"", "unknown"},
        {"4x", "Visa"},
    };
    for (const auto& [number, network] : cases)
        EXPECT_EQ(NetworkOf(number), network) << number;
}

TEST(CardDetails, EveryServiceCodeDigit) {
    // Each position's digits 0-9: "+" has a meaning, "-" is reserved.
    const std::string defined[] = {"-++--+++-+", "+-+-+-----", "++++++++--"};
    for (int position = 1; position <= 3; ++position) {
        for (char digit = '0'; digit <= '9'; ++digit) {
            const bool meaning =
                defined[std::size_t(position - 1)][std::size_t(digit - '0')] == '+';
            EXPECT_EQ(ServiceCodeMeaning(position, digit).empty(), !meaning) << position << digit;
            // On a card, a reserved digit fails the service-code check.
            std::string code = "101";
            code[std::size_t(position - 1)] = digit;
            const CardDetails d = Decode({"", "4111111111111111=2812" + code, ""});
            EXPECT_EQ(CheckOf(d, "service_code").passed, meaning) << code;
        }
    }
    EXPECT_EQ(ServiceCodeMeaning(3, '2'), "Goods and services only (no cash)");
    EXPECT_TRUE(ServiceCodeMeaning(4, '1').empty());
    EXPECT_TRUE(ServiceCodeMeaning(1, 'A').empty());
}

TEST(CardDetails, PaymentSampleMaskedAndChecked) {
    const CardDetails d = Decode(
        {"%B4111111111111111^SAMPLE/CARD^2812101?", ";4111111111111111=2812101?", ";0123456789?"});
    ASSERT_EQ(d.layout, Layout::Payment);
    EXPECT_EQ(FieldOf(d, 0, "network").value, "Visa");
    EXPECT_EQ(FieldOf(d, 1, "number").value, "411111" + Dots(6) + "1111");
    EXPECT_EQ(FieldOf(d, 2, "number").value, "411111" + Dots(6) + "1111");
    EXPECT_EQ(FieldOf(d, 1, "surname").value, "SAMPLE");
    EXPECT_EQ(FieldOf(d, 1, "given_names").value, "CARD");
    EXPECT_EQ(FieldOf(d, 1, "expiry").value, "2812 (12/2028)");
    EXPECT_EQ(FieldOf(d, 2, "service_code").value, "101");
    EXPECT_EQ(FieldOf(d, 2, "discretionary").state, FieldState::Empty);
    EXPECT_EQ(FieldOf(d, 0, "interchange").value, "International interchange");
    EXPECT_EQ(FieldOf(d, 0, "authorisation").value, "Normal authorisation");
    EXPECT_EQ(FieldOf(d, 0, "services").value, "No restrictions");
    EXPECT_EQ(FieldOf(d, 3, "contents").value, "12 characters, numeric (0-9 : ; < = > ?)");
    for (const char* key : {"luhn", "expiry", "tracks_agree", "service_code"})
        EXPECT_TRUE(CheckOf(d, key).passed) << key << ": " << CheckOf(d, key).sentence;
    const std::string text = DetailsText(d, "  ");
    EXPECT_EQ(text.find("4111111111111111"), std::string::npos) << text;
    EXPECT_NE(text.find("PASS Check digit"), std::string::npos) << text;

    const CardDetails whole =
        Decode({"B4111111111111111^SAMPLE/CARD^2812101", "", ""}, kToday, true);
    EXPECT_EQ(FieldOf(whole, 1, "number").value, "4111111111111111");
}

TEST(CardDetails, NameWithTitleAndAbsentFields) {
    const CardDetails d = Decode({"B5105105105105100^DOE/JOHN Q.MR^^^PVV", "", ""});
    EXPECT_EQ(FieldOf(d, 1, "given_names").value, "JOHN Q");
    EXPECT_EQ(FieldOf(d, 1, "title").value, "MR");
    EXPECT_EQ(FieldOf(d, 1, "expiry").state, FieldState::Empty);
    EXPECT_EQ(FieldOf(d, 1, "service_code").state, FieldState::Empty);
    EXPECT_EQ(FieldOf(d, 1, "discretionary").value, "PVV");
    EXPECT_FALSE(CheckOf(d, "expiry").passed);
    EXPECT_EQ(CheckOf(d, "expiry").sentence, "The card gives no expiry date.");
}

TEST(CardDetails, CheckDigitThatDoesNotMatch) {
    const CardDetails d = Decode({"", ";4111111111111112=2812101?", ""});
    EXPECT_FALSE(CheckOf(d, "luhn").passed);
    EXPECT_EQ(CheckOf(d, "luhn").sentence,
              "The check digit does not match: the number was read or written wrong.");
    EXPECT_EQ(CheckOf(d, "tracks_agree").key, ""); // one track: nothing to agree on
}

TEST(CardDetails, ExpiryAgainstToday) {
    struct Case {
        std::string track2;
        Date today;
        bool valid;
        std::string sentence;
    };
    const std::string pan = "4111111111111111=";
    // A licence holder born 15 March 1990: "88" is the end of the birth
    // month, "99" the birthday, "77" never.
    const std::string licence = "636023123=";
    const std::vector<Case> cases = {
        {pan + "2812101", {2028, 12, 31}, true, "The card is valid until the end of 12/2028."},
        {pan + "2812101", {2029, 1, 1}, false, "The card expired at the end of 12/2028."},
        {pan + "2402101", {2024, 2, 29}, true, "The card is valid until the end of 02/2024."},
        {pan + "2402101", {2024, 3, 1}, false, "The card expired at the end of 02/2024."},
        {pan + "2813101", kToday, false, "The expiry \"2813\" is no year and month."},
        {pan + "2800101", kToday, false, "The expiry \"2800\" is no year and month."},
        {licence + "287719900315=", {2090, 1, 1}, true, "The card never expires."},
        {licence + "288819900315=",
         {2028, 3, 31},
         true,
         "The card is valid until the end of 31/03/2028."},
        {licence + "288819900315=",
         {2028, 4, 1},
         false,
         "The card expired at the end of 31/03/2028."},
        {licence + "289919900315=",
         {2028, 3, 15},
         true,
         "The card is valid until the end of 15/03/2028."},
        {licence + "289919900315=",
         {2028, 3, 16},
         false,
         "The card expired at the end of 15/03/2028."},
        {licence + "281219900315=", {2029, 1, 1}, false, "The card expired at the end of 12/2028."},
    };
    for (const Case& c : cases) {
        const CardDetails d = Decode({"", c.track2, ""}, c.today);
        EXPECT_EQ(CheckOf(d, "expiry").passed, c.valid) << c.track2;
        EXPECT_EQ(CheckOf(d, "expiry").sentence, c.sentence) << c.track2;
    }
}

TEST(CardDetails, TracksThatDisagree) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"4111111111111111=2812101", "Tracks 1 and 2 agree on the number and the expiry date."},
        {"4111111111111129=2812101", "Tracks 1 and 2 disagree on the number."},
        {"4111111111111111=2811101", "Tracks 1 and 2 disagree on the expiry date."},
        {"4111111111111129=2811101", "Tracks 1 and 2 disagree on the number and the expiry date."},
    };
    for (const auto& [track2, sentence] : cases) {
        const CardDetails d = Decode({"B4111111111111111^SAMPLE/CARD^2812101", track2, ""});
        EXPECT_EQ(CheckOf(d, "tracks_agree").sentence, sentence);
        EXPECT_EQ(CheckOf(d, "tracks_agree").passed,
                  sentence.find("disagree") == std::string::npos);
    }
}

TEST(CardDetails, MaskedNumberKeepsSixAndFour) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"4111111111111111", "411111" + Dots(6) + "1111"},
        {"4111111111111111111", "411111" + Dots(9) + "1111"},
        {"4111111111111", "411111" + Dots(3) + "1111"},
        {"411111111111", Dots(8) + "1111"},
        {"4111111", Dots(3) + "1111"},
        {"411111", Dots(6)},
        {"", ""},
    };
    for (const auto& [number, masked] : cases)
        EXPECT_EQ(MaskedNumber(number), masked) << number;
}

const std::string kTrack3Full = "!!" + std::string("90210-1234 ") + "C " + "B         " + "M   " +
                                "2" + "507" + "130" + "BRN" + "BLU" + "A123456789" +
                                std::string(16, ' ') + "ABCDEF" + "12345";

TEST(CardDetails, AamvaWithEveryTrack) {
    const CardDetails d = Decode({"%CASPRINGFIELD^DOE$JANE$Q^742 EVERGREEN TER$APT 2^?",
                                  ";6360231234567890=2812199001015?", "%" + kTrack3Full + "?"});
    ASSERT_EQ(d.layout, Layout::Aamva);
    const std::vector<std::tuple<int, std::string, std::string>> expected = {
        {1, "jurisdiction", "CA"},
        {1, "city", "SPRINGFIELD"},
        {1, "family_name", "DOE"},
        {1, "given_name", "JANE"},
        {1, "middle_names", "Q"},
        {1, "address", "742 EVERGREEN TER,APT 2"},
        {2, "issuer", "636023"},
        {2, "number", "1234567890"},
        {2, "expiry", "2812"},
        {2, "birth_date", "19900101"},
        {2, "number_overflow", "5"},
        {3, "template_version", "!"},
        {3, "postal_code", "90210-1234"},
        {3, "class", "C"},
        {3, "restrictions", "B"},
        {3, "endorsements", "M"},
        {3, "sex", "2 (female)"},
        {3, "height", "507"},
        {3, "weight", "130"},
        {3, "hair_colour", "BRN"},
        {3, "eye_colour", "BLU"},
        {3, "id_number", "A123456789"},
        {3, "error_correction", "ABCDEF"},
        {3, "security", "12345"},
    };
    for (const auto& [track, key, value] : expected) {
        EXPECT_EQ(FieldOf(d, track, key).value, value) << key;
        EXPECT_EQ(FieldOf(d, track, key).state, FieldState::Present) << key;
    }
    EXPECT_EQ(FieldOf(d, 3, "reserved").state, FieldState::Empty);
    EXPECT_TRUE(CheckOf(d, "expiry").passed);
    EXPECT_TRUE(CheckOf(d, "birth_date").passed);
}

TEST(CardDetails, AamvaFieldsThatFillTheirRoom) {
    // A 13-character city and a 13-digit number have no separator after them.
    const CardDetails d =
        Decode({"CASPRINGFIELDXYDOE$J^1 MAIN ST", "6360231234567890123=2812199001=", ""});
    EXPECT_EQ(FieldOf(d, 1, "city").value, "SPRINGFIELDXY");
    EXPECT_EQ(FieldOf(d, 1, "family_name").value, "DOE");
    EXPECT_EQ(FieldOf(d, 1, "middle_names").state, FieldState::Empty);
    EXPECT_EQ(FieldOf(d, 1, "address").value, "1 MAIN ST");
    EXPECT_EQ(FieldOf(d, 2, "number").value, "1234567890123");
    EXPECT_EQ(FieldOf(d, 2, "expiry").value, "2812");
    EXPECT_EQ(FieldOf(d, 2, "number_overflow").state, FieldState::Empty);
    EXPECT_EQ(FieldOf(d, 3, "contents").state, FieldState::Empty); // track 3 empty
    EXPECT_EQ(FieldOf(d, 3, "postal_code").value, "<no such field>");
}

TEST(CardDetails, AamvaShortFieldsAreNotGuessed) {
    const CardDetails d = Decode({"CASPRING", "636023123=28", "!!12345"});
    const std::vector<std::tuple<int, std::string, FieldState, std::string>> expected = {
        {1, "city", FieldState::CutShort, "SPRING (cut short)"},
        {1, "name", FieldState::Missing, "(not on the card)"},
        {1, "address", FieldState::Missing, "(not on the card)"},
        {2, "number", FieldState::Present, "123"},
        {2, "expiry", FieldState::CutShort, "28 (cut short)"},
        {2, "birth_date", FieldState::Missing, "(not on the card)"},
        {3, "postal_code", FieldState::CutShort, "12345 (cut short)"},
        {3, "class", FieldState::Missing, "(not on the card)"},
        {3, "eye_colour", FieldState::Missing, "(not on the card)"},
    };
    for (const auto& [track, key, state, shown] : expected) {
        EXPECT_EQ(FieldOf(d, track, key).state, state) << key;
        EXPECT_EQ(ShownValue(FieldOf(d, track, key)), shown) << key;
    }
    EXPECT_EQ(FieldOf(d, 1, "family_name").key, ""); // no name, no parts
    EXPECT_EQ(FieldOf(d, 3, "security").key, "");    // the technical fields past the end
    EXPECT_FALSE(CheckOf(d, "expiry").passed);
    EXPECT_FALSE(CheckOf(d, "birth_date").passed);
}

TEST(CardDetails, AnythingElseGivesLengthsAndCharacterSets) {
    const CardDetails d = Decode({"%HELLO WORLD?", "", "abc\x01"});
    ASSERT_EQ(d.layout, Layout::Unrecognised);
    EXPECT_EQ(FieldOf(d, 1, "contents").value, "13 characters, alphanumeric (space to _)");
    EXPECT_EQ(FieldOf(d, 2, "contents").state, FieldState::Empty);
    EXPECT_EQ(FieldOf(d, 3, "contents").value, "4 characters, other (beyond the alphanumeric set)");
    EXPECT_EQ(Decode({"", "", ""}).layout, Layout::None);
    EXPECT_EQ(Decode({"", ";1234?", ""}).layout, Layout::Unrecognised);
}

TEST(CardDetails, OddTracksNeverBreakTheDecoder) {
    const std::vector<std::array<std::string, 3>> cases = {
        {"B1", "", ""},
        {"%B?", "=", "?"},
        {"B0^", "0=", ""},
        {"AB^", "636000=", "%"},
        {"", "636000=9999999999999999", std::string(200, '!')},
        {"B" + std::string(40, '9') + "^" + std::string(40, 'A'), std::string(1, '\xFF'), ""},
    };
    for (const auto& tracks : cases) {
        const CardDetails d = Decode(tracks);
        EXPECT_FALSE(DetailsText(d, "").empty());
    }
}

} // namespace
