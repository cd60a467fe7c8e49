#pragma once
// Erasing chosen tracks card after card: the Erase button, the track choice
// dialog frmEraseSel, the erase command and its dispatcher branch.

#include <array>
#include <string_view>

namespace msrw {

class Session;

// frmEraseSel ("Erase Select") as plain state: the window binds its widgets
// to it. It stays on top of all windows while shown.
struct EraseSelView {
    bool visible = false;
    std::array<bool, 3> chkTrk1{true, true, true}; // tracks 1, 2, 3
    bool CmdOkEnabled = true;
};

// cmdErase_Click of the main window: opens the dialog, its boxes showing
// the tracks of the last erase.
void cmdErase_Click(Session& session, EraseSelView& dialog);

// Arms the reader/writer to erase the tracks of EraseMask. Sends nothing and
// returns false when the mask names no track.
[[nodiscard]] bool SendEraseStr(Session& session);

// Branch of the receive dispatcher for an erase; every card counts, erased or not.
void EraseBranch(Session& session, std::string_view replyText, bool ok);

namespace frmEraseSel {

// A box of the control array (index 0-2) was ticked or cleared.
void chkTrk1_Click(Session& session, EraseSelView& dialog, int index, bool checked);
void CmdOk_Click(Session& session, EraseSelView& dialog);
// Also what closing the dialog does.
void cmdCancel_Click(Session& session, EraseSelView& dialog);

} // namespace frmEraseSel

} // namespace msrw
