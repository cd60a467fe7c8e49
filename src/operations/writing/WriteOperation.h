#pragma once
// Writing the track fields onto card after card: the Write button, the
// dispatcher branches of a plain write and of a pass-book write with its
// verifying swipe, and the write phase of the test cycle.

#include "session/MainView.h"

#include <optional>
#include <string_view>

namespace msrw {

class Session;

// "Write(" n ") OK!" in black, or "Write(" n ") Error!!" in red.
ColouredText WriteResultLine(int count, bool ok);
// Shows the write result of card OpCount as the card's result.
void ShowWriteResult(Session& session, bool ok);

// Sends the write command for `kind` and shows the prompt again, unless the
// composition ended the operation (data that cannot be written, a Tarn track
// load refused: PromptClosed is then cleared here).
void SendWriteAndPrompt(Session& session, int kind);

// cmdWrite_Click of the main window.
void cmdWrite_Click(Session& session);

// Branch of a plain write ("Ormond Mode"). `ok` is the dispatcher's success
// flag for the reply.
void WriteBranch(Session& session, std::string_view replyText, bool ok);

// Branch of a write in "Quell Mode": the swipe's start reply is passed over
// (TakeTarnStartReply); a card not written gets the Tarn recovery and the
// same data is loaded again.
void QuellWriteBranch(Session& session, std::string_view replyText, bool ok);

// The reply to a pass-book write. "\1B5" (written, verification pending):
// the prompt asks for the same card again, the operator is told, and nullopt
// says that the next reply (of the verifying swipe) decides. Otherwise
// whether the card was written and verified ("\1B0").
std::optional<bool> PassBookWriteVerdict(Session& session, std::string_view replyText);

// Branch of a pass-book write: the verdict above; a verified card is counted,
// anything else is an error.
void PassBookWriteBranch(Session& session, std::string_view replyText, bool ok);

// The test cycle after its third good read: checks the tracks on screen and,
// when they hold data, arms the write phase; otherwise says "Data Error" and
// ends the test. Either way the read phase must not go on after it.
void BeginTestWritePhase(Session& session);

// Branch of the test cycle's write phase: two good writes end the test.
void TestWriteBranch(Session& session, std::string_view replyText, bool ok);

} // namespace msrw
