#pragma once
// The program's side of the single-byte (Tarn) family: one exchange with its
// frame and check (SendTarnStr), the Tarn set-up file (TarnReadSetting,
// TarnWriteSetting, CreateTarnSetupFile), the densities (SetTarnBpi), the
// device's set-up memory (ReadEEprom), and the steps every "Quell Mode" card
// operation shares: arming a read, judging the start reply, asking for a
// track, and the recovery after a failed card.

#include "protocol/TarnFrame.h"

#include <string>
#include <string_view>

namespace msrw {

class Session;

inline constexpr const char* kResetFailedMessage = "Failed to reset! Please Check the reader.";

// One exchange. The command is "\XX" pairs; framed (TarnUnframed false) it
// goes as a frame with its check byte, and the reply's frame is checked and
// taken off. `useQuery`: through the link's Query, else its TarnExchange.
// True when the reply was accepted: a bare reply always is (the reset "\7F"
// too, framed or not); a framed one when its check byte matches. An empty
// framed reply, or a command the frame cannot hold (told to the operator), is
// false.
bool SendTarnStr(Session& s, const std::string& command, std::string& reply, bool useQuery);
// The same when the reply does not matter beyond being accepted.
bool SendTarnStr(Session& s, const std::string& command, bool useQuery = true);

// The value of `key` in the Tarn set-up file; "" for an unknown key or no file.
std::string TarnReadSetting(const Session& s, std::string_view key);
// The value of `key`, or its default when the file or the line is missing:
// a deleted file must not change the protocol or the densities.
std::string TarnSettingOrDefault(const Session& s, std::string_view key);
// Rewrites the set-up file with these ten values in this order, and sets
// TarnUnframed from `tarnprotocol` once the file holds it. False (the
// operator told) when it cannot be written.
bool TarnWriteSetting(Session& s, const std::string& numByteLeadz1,
                      const std::string& numByteLeadz2, const std::string& numByteLeadz3,
                      const std::string& customT1xbit, const std::string& customT2xbit,
                      const std::string& customT3xbit, const std::string& tarnbpiT1,
                      const std::string& tarnbpiT2, const std::string& tarnbpiT3,
                      const std::string& tarnprotocol);
// Writes the default set-up file when there is none.
void CreateTarnSetupFile(Session& s);
// TarnUnframed := the set-up file's "p" (its default, bare, when the file or
// the line is missing).
void LoadTarnFraming(Session& s);

// Each track's density command from "t1bpi".."t3bpi": "\3B\31\48" for 210
// BPI, "\3B\31\4C" otherwise (tracks 2 and 3 alike). A missing file or
// line counts as its default.
void SetTarnBpi(Session& s);

// Resets the device and reads its set-up memory into s.g.tarnMemory,
// rewriting erased bytes (FF) at 00, 03 and 04 with their defaults. False
// (after "Failed to reset! Please Check the reader.") when the reset is not
// answered. A byte the reader does not give as two hexadecimal digits is
// kept as ""; the protocol-and-mode value then stays as it was.
bool ReadEEprom(Session& s);

// What every card command starts with: the reset, the framing from the
// set-up file, "\4B", and the densities.
void PrepareTarnCardCommand(Session& s);

// Arms a "Quell Mode" read (SendReadCmd's Tarn branch): reset, framing from
// the set-up file, "\4B", SetTarnBpi, TarnAwaitStart set, "\50" bare or
// framed; OpState := state.
void ArmTarnRead(Session& s, int state);
// Sends the write start ("\40" bare or framed) after the tracks are loaded,
// with TarnAwaitStart set.
void StartTarnWrite(Session& s);

// The start reply of an armed Tarn card operation. While TarnAwaitStart is
// set, the reply clears it and is ignored unless it is the double start
// reply ("^^" bare, "\02^\03_\02^\03_" framed), which is a card done. Returns
// false when the branch must ignore this reply; true when it is to be judged,
// with `ok` set for a double start reply (the success that reply is).
bool TakeTarnStartReply(Session& s, std::string_view reply, bool& ok);

// Asks for one track of the card just swiped (query form); NoReply when the
// exchange failed (no reply, or a framed reply with a wrong check).
struct TarnTrackResult {
    bool answered = false;
    tarn::TrackReply reply;
};
TarnTrackResult RequestTarnTrack(Session& s, const std::string& request);

// After a failed card: "\6B", "\4D", Wait 1000 ms, "\4B". False when the
// operation was ended during the pause.
[[nodiscard]] bool TarnRecovery(Session& s);

// The End action's Tarn steps: "\28", "\7F", framing from "p", SetTarnBpi,
// "\4C".
void TarnEndSequence(Session& s);

} // namespace msrw
