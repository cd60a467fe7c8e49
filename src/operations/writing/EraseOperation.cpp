#include "operations/writing/EraseOperation.h"
#include "session/OpStates.h"

#include "protocol/CommandSet.h"
#include "session/MainControls.h"
#include "session/Session.h"
#include "session/SwipePrompt.h"

#include <cstdint>
#include <string>

namespace msrw {
namespace {

constexpr int kOkPauseMs = 300;
constexpr int kErrorPauseMs = 500;

std::uint8_t MaskOf(const EraseSelView& dialog) {
    std::uint8_t mask = 0;
    for (std::size_t i = 0; i < dialog.chkTrk1.size(); ++i) {
        if (dialog.chkTrk1[i])
            mask = static_cast<std::uint8_t>(mask | (1u << i));
    }
    return mask;
}

void ShowMask(EraseSelView& dialog, std::uint8_t mask) {
    for (std::size_t i = 0; i < dialog.chkTrk1.size(); ++i)
        dialog.chkTrk1[i] = (mask >> i) & 1u;
    dialog.CmdOkEnabled = mask != 0;
}

ColouredText EraseResultLine(int count, bool ok) {
    const std::string n = std::to_string(count);
    return ok ? ColouredText{"Erase(" + n + ") OK!", kBlack}
              : ColouredText{"Erase(" + n + ") Error!", kRed};
}

} // namespace

void cmdErase_Click(Session& s, EraseSelView& dialog) {
    if (!s.portManager.ReOpenPort())
        return; // the operator has been told; nothing was disabled yet
    DisMainBtns(s.view);
    s.g.OpCount = 1;
    s.view.message = {};
    for (TrackBox& box : s.view.tracks)
        box.text.clear();
    ShowMask(dialog, s.g.EraseMask);
    dialog.visible = true;
}

bool SendEraseStr(Session& s) {
    const int mask = s.g.EraseMask;
    const auto command = s.velk() ? cmd::VelkErase(mask) : cmd::Erase(mask);
    // A mask of no track would leave the device waiting for nothing useful.
    if (!command)
        return false;
    s.g.OpState = kOpErase;
    if (s.velk())
        s.link().SendLine(*command);
    else if (s.ormond())
        s.link().SendCommand(*command);
    return true;
}

void EraseBranch(Session& s, std::string_view, bool ok) {
    HidePrompt(s);
    ShowCardResult(s, {EraseResultLine(s.g.OpCount, ok), ok, s.g.OpCount, {}});
    if (!s.Wait(ok ? kOkPauseMs : kErrorPauseMs))
        return;
    // The mask the erase was armed with names a track, so the command goes.
    (void)SendEraseStr(s);
    ++s.g.OpCount;
    ShowPrompt(s);
}

namespace frmEraseSel {

void chkTrk1_Click(Session& s, EraseSelView& dialog, int index, bool checked) {
    if (index < 0 || index >= int(dialog.chkTrk1.size()))
        return;
    dialog.chkTrk1[std::size_t(index)] = checked;
    s.g.EraseMask = MaskOf(dialog);
    dialog.CmdOkEnabled = s.g.EraseMask != 0;
}

void CmdOk_Click(Session& s, EraseSelView& dialog) {
    if (MaskOf(dialog) == 0)
        return; // OK is disabled then; a stray click must not arm an empty erase
    s.g.EraseMask = MaskOf(dialog);
    dialog.visible = false;
    (void)SendEraseStr(s); // the mask names a track (checked above)
    PreparePrompt(s.view.prompt, "Erase Card", "Please Swipe a Card.", kYellow, kBlack);
    ShowPrompt(s);
}

void cmdCancel_Click(Session& s, EraseSelView& dialog) {
    EnaMainBtns(s.view, s.port.MsrwMode);
    dialog.visible = false;
}

} // namespace frmEraseSel

} // namespace msrw
