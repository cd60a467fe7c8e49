// One fuzz target for every parser of outside input: device replies (Tarn
// frames and track replies too), command texts typed by the operator, serial
// settings texts, script files, settings lines and card data files. The first
// byte chooses the parser.

#include "cards/UserTrackCodec.h"
#include "console/CardRunOptions.h"
#include "console/ResultPrinter.h"
#include "files/ScriptFile.h"
#include "files/SettingsFile.h"
#include "link/Notation.h"
#include "link/ReplyFramer.h"
#include "link/SerialSettingsText.h"
#include "operations/settings/FixtureProcedure.h"
#include "protocol/ReadReply.h"
#include "protocol/ReplyClassification.h"
#include "protocol/TarnFrame.h"
#include "sim/DeckFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace msrw;

namespace {

void Reply(std::string_view bytes, int variant) {
    const ReplyShape shape = static_cast<ReplyShape>(variant % 8);
    const FrameResult f = FindReply(bytes, shape);
    if (f.skip + f.length > bytes.size())
        __builtin_trap(); // a reply must lie inside what came
    const std::string display = DisplayForm(bytes);
    const std::string hex = HexForm(bytes);
    for (const std::string& text : {display, hex}) {
        reading::ReadReplyContext context;
        context.mode = variant & 1 ? reply::MsrwMode::Velk : reply::MsrwMode::Ormond;
        context.cardTypePosition = variant % 5;
        const reading::ParsedRead parsed = reading::ParseReadReply(text, context);
        track::TrackTexts tracks = parsed.tracks;
        reading::RawTrackToHex(tracks);
        UserTrackFormat format;
        format.bitsPerCharacter = 4 + variant % 4;
        track::DecodeUserTracks(tracks, {format, format, format});
        reply::ClassifyOrmondRead(text);
        reply::ClassifyVelkRead(text);
    }
}

// A Tarn reply as the link delivers it, framed or bare, then as a track.
void TarnReply(std::string_view bytes) {
    for (const std::string& text : {DisplayForm(bytes), HexForm(bytes)}) {
        const tarn::FramedReply framed = tarn::CheckFramedReply(text);
        for (const std::string& reply : {text, framed.body}) {
            const tarn::TrackReply track = tarn::ParseTrackReply(reply);
            if (track.text.size() > reply.size())
                __builtin_trap(); // restoring stuffed bytes only ever shortens
            (void)tarn::ReadCustom(track.text);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const int choice = data[0];
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (choice % 8) {
    case 0:
        Reply(rest, choice / 6);
        break;
    case 1: {
        const CommandBytes parsed = ParseCommandText(rest);
        if (parsed.bytes.size() > kMaxCommandBytes)
            __builtin_trap();
        break;
    }
    case 2:
        ParseSerialSettings(rest);
        break;
    case 3:
        ParseScript(rest);
        // The fixture's measurement reply comes from a device too.
        ParseFixtureReading(DisplayForm(rest));
        break;
    case 4:
        ParseSettingLine(rest);
        break;
    case 5: {
        QString error;
        sim::ParseDeck(rest, error);
        break;
    }
    case 6:
        TarnReply(rest);
        break;
    case 7: {
        // The console's option words, and a result line holding any bytes.
        const std::string word(rest);
        (void)console::TrackSelectNamed(word);
        (void)console::TrackListNamed(word);
        (void)console::ModeNamed(word);
        (void)console::CountNamed(word, 0, 1000000000);
        CardResult result{{word, kBlack}, true, 1, std::array<std::string, 3>{word, "", word}};
        if (console::ResultJson(result).find('\n') != std::string::npos)
            __builtin_trap(); // one line a result
        break;
    }
    }
    return 0;
}
