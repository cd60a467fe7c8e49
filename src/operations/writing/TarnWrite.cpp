#include "operations/writing/TarnWrite.h"

#include "cards/CardTypeList.h"
#include "cards/CustomTrack.h"
#include "cards/WriteComposition.h"
#include "files/TarnSetupFile.h"
#include "link/Notation.h"
#include "link/OperatorDialogs.h"
#include "protocol/TarnFrame.h"
#include "session/Dispatcher.h"
#include "session/Session.h"
#include "session/TarnLink.h"

#include <algorithm>
#include <charconv>

namespace msrw {
namespace {

constexpr int kAfterCustomLoadMs = 100;
// More leading zero bytes than one command carries is no set-up value.
constexpr int kMaxLeadingZeroBytes = 255;
constexpr char kResetByte = '\x7F';

std::string TrackKey(const char* prefix, int track, const char* suffix) {
    return prefix + std::to_string(track) + suffix;
}

int CustomBitsOf(const Session& s, int track) {
    const std::string key = TrackKey("t", track, "xbit");
    const int bits = CustomBitsPerCharacter(TarnReadSetting(s, key));
    return bits != 0 ? bits : CustomBitsPerCharacter(DefaultTarnSetting(key));
}

std::optional<int> WholeNumberIn(const std::string& text, int max) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || at != end || value < 0 || value > max)
        return std::nullopt;
    return value;
}

int LeadingZeroBytesOf(const Session& s, int track) {
    const std::string key = TrackKey("L", track, "");
    if (const auto n = WholeNumberIn(TarnReadSetting(s, key), kMaxLeadingZeroBytes))
        return *n;
    return WholeNumberIn(DefaultTarnSetting(key), kMaxLeadingZeroBytes).value_or(0);
}

// One exchange that the device must answer "taken".
bool Taken(Session& s, const std::string& command, bool useQuery) {
    std::string reply;
    return SendTarnStr(s, command, reply, useQuery) && tarn::IsTaken(reply);
}

bool LoadTextTrack(Session& s, int track, const std::string& data) {
    // No load can hold the reset byte: the device would reset in the middle
    // of the load and its "^" would pass for the load taken.
    if (data.find(kResetByte) != std::string::npos)
        return false;
    const std::string selector = TarnTrackSelector(s.g.CardType, track);
    return !selector.empty() && Taken(s, selector, true) &&
           Taken(s, tarn::TrackDataLoad(data), false);
}

enum class Load { Taken, Refused, Ended };

Load LoadTrack(Session& s, int track, const std::string& data) {
    if (s.g.CardType != card::CUSTOM)
        return LoadTextTrack(s, track, data) ? Load::Taken : Load::Refused;
    if (!tarn::IsTaken(LoadTarnCustomTrack(s, data, track)))
        return Load::Refused;
    return s.Delay(kAfterCustomLoadMs) ? Load::Taken : Load::Ended;
}

// The operation cannot go on with a track the device did not take.
void EndForRefusedLoad(Session& s, int track) {
    s.dialogs.showMessage(kLoadRefusedLead + std::to_string(track) + " data!");
    cmdCancel_Click(s);
    s.g.PromptClosed = true;
}

bool AnyTrackData(const Session& s) {
    return std::any_of(s.g.TrackData.begin(), s.g.TrackData.end(),
                       [](const std::string& d) { return !d.empty(); });
}

} // namespace

std::string TarnTrackSelector(std::string_view cardType, int track) {
    const bool aamva = cardType == card::AAMVA;
    if (!aamva && cardType != card::ISO)
        return {};
    switch (track) {
    case 1:
        return "\\41";
    case 2:
        return "\\42";
    case 3:
        return aamva ? "\\63\\31" : "\\43";
    default:
        return {};
    }
}

std::string LoadTarnCustomTrack(Session& s, const std::string& hexDigits, int track) {
    const int bits = CustomBitsOf(s, track);
    const std::optional<std::string> load =
        CustomTrackLoad(hexDigits, bits, LeadingZeroBytesOf(s, track));
    if (!load)
        return {};
    std::string reply;
    if (!SendTarnStr(s, CustomLoadSelector(track, bits), reply, true))
        return {};
    if (!tarn::IsTaken(reply))
        return reply;
    if (!SendTarnStr(s, *load, reply, false))
        return {};
    return reply;
}

bool SendTarnWriteStr(Session& s, int kind) {
    s.g.OpState = kind;
    PrepareTarnCardCommand(s);
    if (!AnyTrackData(s)) {
        // Starting a write with nothing loaded would report a card as
        // written that holds none of the data.
        s.dialogs.showMessage(std::string(kDataErrorMessage) +
                                  ": there is no track data to write. Nothing was written.",
                              MessageIcon::Critical);
        cmdCancel_Click(s);
        s.g.PromptClosed = true;
        return false;
    }
    const auto ends = s.g.operationEnds;
    for (int track = 1; track <= 3; ++track) {
        const std::string& data = s.g.TrackData[std::size_t(track - 1)];
        if (data.empty())
            continue;
        const Load load = LoadTrack(s, track, data);
        if (load == Load::Ended || s.g.operationEnds != ends)
            return false; // "End" was pressed meanwhile
        if (load == Load::Refused) {
            EndForRefusedLoad(s, track);
            return false;
        }
    }
    StartTarnWrite(s);
    return true;
}

} // namespace msrw
