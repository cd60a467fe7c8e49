// What the card details add to a card: decoding the simulator's samples and
// the longest tracks the layouts allow, and the result printed with --details
// and with --json against the same result printed without them (which
// decodes nothing). Each figure is the fastest of several rounds, since other
// work on the machine only ever adds time. Exits 1 when the details add
// 50 µs or more to a card.

#include "cards/CardDetails.h"
#include "console/ResultPrinter.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace msrw;

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kMostMicros = 50.0;
constexpr int kCardsARound = 2000;

volatile std::size_t g_sink = 0; // keeps the results alive

// Microseconds a card: the fastest of at least five rounds and 100 ms.
double MicrosPerCard(const std::function<std::size_t()>& card) {
    auto fastest = Clock::duration::max();
    auto total = Clock::duration::zero();
    for (int rounds = 0; rounds < 5 || total < std::chrono::milliseconds(100); ++rounds) {
        const auto start = Clock::now();
        for (int i = 0; i < kCardsARound; ++i)
            g_sink = g_sink + card();
        const auto took = Clock::now() - start;
        fastest = std::min(fastest, took);
        total += took;
    }
    return std::chrono::duration<double, std::micro>(fastest).count() / kCardsARound;
}

struct Sample {
    const char* name;
    std::array<std::string, 3> tracks;
};

std::vector<Sample> Samples() {
    const std::string track3 = "!!90210-1234 C B         M   2507130BRNBLUA123456789" +
                               std::string(16, ' ') + "ABCDEF12345";
    return {
        {"ISO sample",
         {"%B4111111111111111^SAMPLE/CARD^2812101?", ";4111111111111111=2812101?", ";0123456789?"}},
        {"AAMVA sample",
         {"%CASPRINGFIELD^DOE$JANE$Q^742 EVERGREEN TER^?", ";6360231234567890=28121990010100?",
          "%!!12345  F510140BRNBLU?"}},
        {"longest ISO tracks",
         {"%B4111111111111111111^A VERY LONG SURNAME/GIVEN.DR^2812101" + std::string(21, '9') + "?",
          ";4111111111111111111=2812101" + std::string(11, '9') + "?",
          ";" + std::string(105, '1') + "?"}},
        {"AAMVA, every field",
         {"%CASPRINGFIELDXYDOE$JANE$QUINCY MIDDLE^742 EVERGREEN TERRACE$APT 2^?",
          ";6360231234567890123=281219900101=?", "%" + track3 + "?"}},
        {"not a recognised layout", {"%HELLO WORLD?", ";1234567890?", "abc"}},
    };
}

} // namespace

int main() {
    std::FILE* sink = std::fopen("/dev/null", "w");
    if (!sink)
        return 2;
    const details::DecodeOptions options{{2026, 12, 7}, false};
    console::CardRunOptions text, textDetails, json, jsonDetails;
    textDetails.details.text = true;
    json.json = jsonDetails.json = jsonDetails.details.json = true;
    console::ResultPrinter plainText(sink, text), withText(sink, textDetails),
        plainJson(sink, json), withJson(sink, jsonDetails);
    std::printf("%-26s %10s %22s %22s\n", "card (µs a card)", "decode", "text -> --details",
                "JSON -> with details");
    double worst = 0;
    for (const Sample& sample : Samples()) {
        const CardResult result{{"Read(1) OK!", kBlack}, true, 1, sample.tracks};
        const double decode = MicrosPerCard(
            [&] { return details::DecodeCardDetails(sample.tracks, options).fields.size(); });
        const auto printing = [&](console::ResultPrinter& printer) {
            return MicrosPerCard([&] { return std::size_t(printer.print(result, 2)); });
        };
        const double text0 = printing(plainText), text1 = printing(withText);
        const double json0 = printing(plainJson), json1 = printing(withJson);
        worst = std::max({worst, text1 - text0, json1 - json0});
        std::printf("%-26s %10.2f %9.2f -> %9.2f %9.2f -> %9.2f\n", sample.name, decode, text0,
                    text1, json0, json1);
    }
    std::fclose(sink);
    std::printf("the details add at most %.2f µs to a card (limit %.0f µs): %s\n", worst,
                kMostMicros, worst < kMostMicros ? "within" : "OVER");
    return worst < kMostMicros ? 0 : 1;
}
