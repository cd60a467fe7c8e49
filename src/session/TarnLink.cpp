#include "session/TarnLink.h"

#include "files/TarnSetupFile.h"
#include "link/MsrwDLL.h"
#include "link/Notation.h"
#include "link/OperatorDialogs.h"
#include "session/Session.h"
#include "session/SetupMemory.h"

#include <array>

namespace msrw {
namespace {

constexpr int kResetByte = 0x7F;

std::string Exchange(Session& s, const std::string& text, bool useQuery) {
    if (useQuery)
        return s.link().Query(text);
    std::string reply;
    // An unanswered exchange leaves the reply empty, which the caller judges.
    (void)s.link().TarnExchange(text, reply);
    return reply;
}

// A command sent through SendCommand, whose answer comes as MsrwInEvent.
void SendArming(Session& s, const std::string& command) {
    s.link().setTarnFamily(true);
    if (s.g.TarnUnframed) {
        s.link().SendCommand(command);
        return;
    }
    if (const std::optional<std::string> framed = tarn::FrameCommand(command))
        s.link().SendCommand(*framed);
}

struct MemoryDefault {
    const char* address;
    const char* erasedValue; // written back when the byte reads "FF"
};
constexpr std::array<MemoryDefault, 6> kMemoryReadOrder{{
    {"00", "1A"},
    {"01", nullptr},
    {"02", nullptr},
    {"03", "19"},
    {"1C", nullptr},
    {"04", "01"},
}};

bool IsByteText(const std::string& text) {
    return text.size() == 2 && IsHexDigitChar(text[0]) && IsHexDigitChar(text[1]);
}

// One set-up memory byte as two upper-case digits ("" when the reader said
// something else), an erased byte rewritten with its default first.
std::string ReadMemoryByte(SetupMemory& memory, const MemoryDefault& entry) {
    std::string value = memory.read(entry.address);
    if (entry.erasedValue && (value == "FF" || value == "ff")) {
        (void)memory.write(entry.address, entry.erasedValue); // read back below
        value = memory.read(entry.address);
    }
    if (!IsByteText(value))
        return "";
    for (char& c : value)
        c = static_cast<char>(c >= 'a' ? c - 'a' + 'A' : c);
    return value;
}

void StoreProtocolAndMode(GlobalVar::TarnMemoryValues& memory, const std::string& value) {
    if (value.empty())
        return; // the reader did not say: what was known stays
    memory.protocolAndMode = HexDigitValue(value[1]) & 3;
    memory.modeOne = memory.protocolAndMode == 0 || memory.protocolAndMode == 2;
}

} // namespace

bool SendTarnStr(Session& s, const std::string& command, std::string& reply, bool useQuery) {
    s.link().setTarnFamily(true);
    if (s.g.TarnUnframed) {
        reply = Exchange(s, command, useQuery);
        return true;
    }
    std::string why;
    const std::optional<std::string> framed = tarn::FrameCommand(command, &why);
    if (!framed) {
        reply.clear();
        s.dialogs.showMessage(why, MessageIcon::Warning);
        return false;
    }
    reply = Exchange(s, *framed, useQuery);
    if (tarn::FirstCommandByte(command) == kResetByte)
        return true;
    if (reply.empty())
        return false;
    tarn::FramedReply checked = tarn::CheckFramedReply(reply);
    reply = std::move(checked.body);
    return checked.ok;
}

bool SendTarnStr(Session& s, const std::string& command, bool useQuery) {
    std::string reply;
    return SendTarnStr(s, command, reply, useQuery);
}

std::string TarnReadSetting(const Session& s, std::string_view key) {
    const std::optional<std::vector<std::string>> lines = s.data.readLines(kTarnSetupFile);
    return lines ? TarnSettingOf(*lines, key) : "";
}

bool TarnWriteSetting(Session& s, const std::string& numByteLeadz1,
                      const std::string& numByteLeadz2, const std::string& numByteLeadz3,
                      const std::string& customT1xbit, const std::string& customT2xbit,
                      const std::string& customT3xbit, const std::string& tarnbpiT1,
                      const std::string& tarnbpiT2, const std::string& tarnbpiT3,
                      const std::string& tarnprotocol) {
    const TarnSetupLines values{numByteLeadz1, numByteLeadz2, numByteLeadz3, customT1xbit,
                                customT2xbit,  customT3xbit,  tarnbpiT1,     tarnbpiT2,
                                tarnbpiT3,     tarnprotocol};
    QString error;
    if (!s.data.writeLines(kTarnSetupFile, TarnSetupFileLines(values), error)) {
        s.dialogs.showMessage(error.toStdString(), MessageIcon::Warning);
        return false;
    }
    s.g.TarnUnframed = TarnFlagValue(tarnprotocol);
    return true;
}

void CreateTarnSetupFile(Session& s) {
    if (s.data.exists(kTarnSetupFile))
        return;
    QString error;
    if (!s.data.writeLines(kTarnSetupFile, TarnSetupFileLines(DefaultTarnSetup()), error))
        s.dialogs.showMessage(error.toStdString(), MessageIcon::Warning);
}

void LoadTarnFraming(Session& s) {
    s.g.TarnUnframed = TarnFlagValue(TarnSettingOrDefault(s, "p"));
}

void SetTarnBpi(Session& s) {
    constexpr std::array<const char*, 3> kKeys{"t1bpi", "t2bpi", "t3bpi"};
    for (std::size_t track = 0; track < kKeys.size(); ++track) {
        const bool bpi210 = TarnSettingOrDefault(s, kKeys[track]) == "0";
        const std::string trackByte = "\\3" + std::to_string(track + 1);
        (void)SendTarnStr(s, "\\3B" + trackByte + (bpi210 ? "\\48" : "\\4C"));
    }
}

bool ReadEEprom(Session& s) {
    std::string reply;
    (void)SendTarnStr(s, tarn::kReset, reply, true);
    if (reply.empty()) {
        s.dialogs.showMessage(kResetFailedMessage);
        return false;
    }
    LoadTarnFraming(s);
    SetTarnBpi(s);
    GlobalVar::TarnMemoryValues& values = s.g.tarnMemory;
    SetupMemory memory(s.link());
    std::array<std::string, kMemoryReadOrder.size()> read;
    for (std::size_t i = 0; i < kMemoryReadOrder.size(); ++i)
        read[i] = ReadMemoryByte(memory, kMemoryReadOrder[i]);
    values.address00 = read[0];
    values.leadingZero75 = read[1];
    values.leadingZero210 = read[2];
    values.serialFormat = read[3];
    values.coercivity = read[4];
    StoreProtocolAndMode(values, read[5]);
    return true; // the memory closes as it goes
}

void PrepareTarnCardCommand(Session& s) {
    (void)SendTarnStr(s, tarn::kReset); // the reset's answer is not judged
    LoadTarnFraming(s);
    (void)SendTarnStr(s, tarn::kReady);
    SetTarnBpi(s);
}

void ArmTarnRead(Session& s, int state) {
    PrepareTarnCardCommand(s);
    s.g.TarnAwaitStart = true;
    SendArming(s, tarn::kReadArm);
    s.g.OpState = state;
}

void StartTarnWrite(Session& s) {
    s.g.TarnAwaitStart = true;
    SendArming(s, tarn::kWriteStart);
}

bool TakeTarnStartReply(Session& s, std::string_view reply, bool& ok) {
    if (!s.g.TarnAwaitStart)
        return true;
    s.g.TarnAwaitStart = false;
    if (!tarn::IsDoubleStart(reply, s.g.TarnUnframed))
        return false;
    ok = true;
    return true;
}

TarnTrackResult RequestTarnTrack(Session& s, const std::string& request) {
    // The set-up memory's mode says how the reader ends track data.
    const bool modeTwo = !s.g.tarnMemory.modeOne;
    s.link().setTarnModeTwo(modeTwo);
    std::string reply;
    TarnTrackResult result;
    result.answered = SendTarnStr(s, request, reply, true) && !reply.empty();
    if (result.answered)
        result.reply = tarn::ParseTrackReply(reply, modeTwo ? tarn::TrackDataEnd::WithReply
                                                            : tarn::TrackDataEnd::Eot);
    // ISO and AAMVA tracks (71, 72, 73) come as their decoded characters:
    // without an end of its own, line noise must not pass for a track.
    const int command = tarn::FirstCommandByte(request);
    const bool decoded = command >= 0x71 && command <= 0x73;
    if (decoded && result.reply.state == tarn::TrackState::Data &&
        !tarn::IsCharacterText(result.reply.text))
        result.reply = {};
    return result;
}

bool TarnRecovery(Session& s) {
    (void)SendTarnStr(s, tarn::kRecoverA);
    (void)SendTarnStr(s, tarn::kRecoverB);
    if (!s.Wait(1000))
        return false;
    (void)SendTarnStr(s, tarn::kReady);
    return true;
}

void TarnEndSequence(Session& s) {
    (void)SendTarnStr(s, tarn::kEndPrefix);
    (void)SendTarnStr(s, tarn::kReset);
    LoadTarnFraming(s);
    SetTarnBpi(s);
    (void)SendTarnStr(s, tarn::kIdle);
}

std::string TarnSettingOrDefault(const Session& s, std::string_view key) {
    std::string value = TarnReadSetting(s, key);
    if (!value.empty())
        return value;
    return DefaultTarnSetting(key);
}

} // namespace msrw
