#pragma once
// Sequential write: the operator marks with "x" where a running number goes
// in the track fields, gives the first number and the number of cards in
// frmSeqWrite, and each card is written with the next number in the marks.

#include "cards/KeyFilter.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace msrw {

class Session;

inline constexpr int kSeqNumberMaxLength = 9; // txtStartNo, txtEndNo

// frmSeqWrite as plain state: the window binds its widgets to it. It stays on
// top of all windows while shown.
struct SeqWriteView {
    bool visible = false;
    std::string txtStartNo;      // the first number
    std::string txtEndNo;        // the number of cards
    bool startNoFocused = false; // the caret is put into txtStartNo
    bool CmdOkBold = false;      // while either text field has the focus
};

// The run, as the main window holds it.
struct SequentialWrite {
    bool SeqWriteActive = false; // the operator is marking the number's place
    // Per track 1-3: the 1-based position of the first "x" in the field's
    // text without line breaks, and how many follow in a row (0: no mark).
    std::array<std::int32_t, 3> SeqStart{};
    std::array<std::int32_t, 3> SeqLen{};
    std::int32_t SeqFirst = 0;
    std::int32_t SeqEnd = 0; // one past the last number
    std::int32_t SeqCurrent = 0;
    SeqWriteView dialog;
};

// cmdSeqWrite_Click of the main window: starts the marking.
void cmdSeqWrite_Click(Session& session, SequentialWrite& run);

// While marking, the key filter of the track fields is replaced by this one:
// Enter runs `pressPromptButton`, Backspace passes, every other key types "x".
// Empty when no marking is in progress.
KeyReplacement SeqWriteKeyReplacement(Session& session, SequentialWrite& run,
                                      std::function<void()> pressPromptButton);

// The prompt's "End"/"OK" action while marking: to be called from
// cmdCancel_Click of the swipe prompt after the main buttons are enabled
// again. Does nothing unless a marking is in progress.
void SeqWriteOnCancel(Session& session, SequentialWrite& run);

// The number of tracks holding one run of "x", or 0 when a track holds a
// second, separate "x". Fills the marks.
int ChkSeqWriteFormat(const Session& session, SequentialWrite& run);

// Writes SeqCurrent, zero-padded to each mark's length, into the marks.
void UpdateDisplay(Session& session, const SequentialWrite& run);
// Removes the "x" marks from the fields, when their layout is valid.
void DeleteChrX(Session& session, SequentialWrite& run);

// Branch of the receive dispatcher for a sequential write.
void SequentialWriteBranch(Session& session, SequentialWrite& run, std::string_view replyText,
                           bool ok);

namespace frmSeqWrite {

void CmdOk_Click(Session& session, SequentialWrite& run);
void cmdCancel_Click(Session& session, SequentialWrite& run);
// txtStartNo_KeyPress and txtEndNo_KeyPress: digits, Backspace and Delete
// pass; Enter runs CmdOk_Click. Returns the key to insert (kKeyCancelled: none).
int txtNo_KeyPress(Session& session, SequentialWrite& run, int keyAscii);
// GotFocus / LostFocus of either text field.
void txtNo_FocusChanged(SequentialWrite& run, bool focused);

} // namespace frmSeqWrite

} // namespace msrw
