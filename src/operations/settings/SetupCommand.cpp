// The main window's Setup button: in "Ormond Mode" the format record
// reloaded, the device's low-coercivity-only flag read from its set-up
// memory, the stored format sent, and frmSetup shown; in "Quell Mode" the
// Tarn set-up dialog filled from the reader and shown.

#include "operations/settings/SetupDialog.h"

#include "operations/settings/TarnSetup.h"
#include "operations/startup/Startup.h"
#include "protocol/CommandSet.h"
#include "session/DeviceFormat.h"
#include "session/MainControls.h"
#include "session/SettingsSave.h"
#include "session/SetupMemory.h"
#include "session/SwipePrompt.h"
#include "session/TarnLink.h"

namespace msrw {
namespace {

// Steps 1-7 of the Setup command in "Ormond Mode". False when the reader
// went away on the way (the operator has been told).
bool PrepareSetup(Session& s) {
    LoadSetting(s);
    s.format.apply(s.record);
    s.view.prompt.label = "Going into Setup. Please wait...";
    ShowProgressWindow(s.view.prompt);
    s.redraw();
    MsrwDLL& link = s.link();
    (void)link.Query(cmd::SwitchToTarn()); // the device does not answer the switch
    Startup probe(s, nullptr);
    // Only the switch matters here; the flag read below finds out whether it
    // took. The probe's banner is no result for the operator's result line.
    const ColouredText message = s.view.message;
    (void)probe.VelkOrTarn();
    s.view.message = message;
    s.view.prompt.label = "Going into Setup. Please wait...";
    const bool lowCoOnly = [&link] {
        SetupMemory memory(link);
        return ReadsLowCoOnly(memory);
    }();
    (void)link.Query(cmd::SwitchToVelk());
    link.ClosePort();
    if (!s.portManager.ReOpenPort())
        return false;
    s.operationState<SetupView>().chkhicoEnabled = !lowCoOnly;
    if (lowCoOnly) {
        s.format.chkhico = false;
        (void)SaveSetting(s); // a failure has been shown; the device is set below anyway
        LoadSetting(s);
    }
    // The statuses are not judged: the operator is about to set the format anew.
    (void)DeviceFormat(link, s.format, s.clock).Restore_Setting(s.g.CardType);
    return true;
}

// The Setup command in "Quell Mode": the reader's set-up memory read, the
// Tarn set-up dialog filled from it and the set-up file, and shown. False
// when the reader did not answer its reset (the operator has been told).
bool OpenTarnSetup(Session& s) {
    if (!ReadEEprom(s))
        return false;
    frmTarnSetup::ShowSetupInterface(s);
    const bool lowCoOnly = [&s] {
        SetupMemory memory(s.link());
        return ReadsLowCoOnly(memory);
    }();
    TarnSetupView& view = s.operationState<TarnSetupView>();
    view.chktarnhicoEnabled = !lowCoOnly;
    if (lowCoOnly)
        view.chktarnhico = false; // OK must not ask such a reader for high coercivity
    frmTarnSetup::EnaTarnSetupBtn(s);
    view.visible = true;
    return true;
}

} // namespace

void cmdSetup_Click(Session& s) {
    const auto enabledBefore = s.view.enabled;
    DisMainBtns(s.view);
    const bool portOpen = s.portManager.ReOpenPort();
    if (portOpen && s.quell()) {
        const bool shown = OpenTarnSetup(s);
        HidePrompt(s);
        if (!shown)
            s.view.enabled = enabledBefore;
        return;
    }
    if (!portOpen || !s.ormond()) {
        // No reader, or a mode without a set-up dialog: the window is left as it was.
        s.view.enabled = enabledBefore;
        return;
    }
    const bool ready = PrepareSetup(s);
    HidePrompt(s);
    if (!ready) {
        s.view.enabled = enabledBefore;
        return;
    }
    s.operationState<SetupView>().visible = true;
}

} // namespace msrw
