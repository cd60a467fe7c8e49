#include "operations/settings/Maintenance.h"

#include "link/Notation.h"
#include "link/OperatorDialogs.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "operations/settings/FixtureProcedure.h"
#include "operations/settings/ScriptRunner.h"
#include "operations/startup/Startup.h"
#include "protocol/ReplyClassification.h"
#include "session/MainControls.h"
#include "session/Session.h"
#include "session/SettingsSave.h"
#include "session/SetupMemory.h"
#include "session/SwipePrompt.h"

namespace msrw {
namespace {

constexpr const char* kNoAnswer =
    "The Reader/Writer did not answer. Please check the connection and try again.";

MaintenanceView& View(Session& s) {
    return s.operationState<Maintenance>().view;
}

std::string ShownModel(const std::string& reply, const std::string& current) {
    if (reply.size() < 4)
        return current;
    const auto model = cmd::TrackModelFromDigit(reply[3]);
    return model ? std::string(cmd::TrackModelName(*model)) : current;
}

bool Confirm(Session& s, const char* warning) {
    return s.dialogs.askOkCancel(warning, MessageIcon::Critical, kWarningTitle);
}

// The reader goes into its Tarn configuration, the exchanges run, and it is
// switched back. False when it did not answer as a Tarn device.
template <typename F> bool InTarnConfiguration(Session& s, F&& exchanges) {
    MsrwDLL& link = s.link();
    (void)link.Query(cmd::SwitchToTarn()); // not answered
    // The probe's own failure path would end the program: here it must not.
    const bool quitBefore = s.view.quitRequested;
    Startup probe(s, [] {});
    const bool tarn = probe.VelkOrTarn();
    s.view.quitRequested = quitBefore;
    if (tarn)
        exchanges(link);
    (void)link.Query(cmd::SwitchToVelk()); // not answered
    if (!tarn)
        s.dialogs.showMessage("The Reader/Writer did not go into its configuration mode.",
                              MessageIcon::Warning);
    return tarn;
}

void ReadCoercivityLock(MsrwDLL& link, MaintenanceView& v) {
    SetupMemory memory(link);
    v.cmdSetLoCoCaption = ReadsLowCoOnly(memory) ? kCaptionEnableSetCo : kCaptionLoCoOnly;
}

void ReapplyCardType(Session& s) {
    (void)cboCardType_Click(s, s.view.cardTypes.selected); // the outcome has been shown
}

} // namespace

std::string ShownLeadZeroBias(const std::string& reply) {
    if (reply.size() == 4)
        return HexByte(static_cast<unsigned char>(reply[3]));
    if (reply.size() == 6)
        return reply.substr(4, 2);
    // The display form doubles a backslash: a bias of 5C comes as five characters.
    if (reply == "\\1B\\\\")
        return "5C";
    return reply;
}

void cmdConfigSetting_Click(Session& s) {
    MaintenanceView& v = View(s);
    if (!ReOpenPortOrStop(s))
        return;
    MsrwDLL& link = s.link();
    const std::string bias = link.Query(cmd::AskLeadZeroBias());
    if (bias.empty()) {
        s.dialogs.showMessage(kNoAnswer, MessageIcon::Warning);
        return;
    }
    v.txtCurLzBiaz = ShownLeadZeroBias(bias);
    v.txtCurModel = ShownModel(link.Query(cmd::AskTrackModel()), v.txtCurModel);
    s.view.prompt.caption = "Please wait...";
    s.view.prompt.label = "Going into Config. Please wait...";
    ShowProgressWindow(s.view.prompt);
    (void)InTarnConfiguration(s, [&v](MsrwDLL& l) { ReadCoercivityLock(l, v); });
    s.view.prompt.visible = false;
    s.view.mainVisible = false;
    v.checkedModel.reset();
    v.txtSetLzBias.clear();
    v.controlsEnabled = true;
    v.visible = true;
}

namespace frmCfgSet {

void CfgDisMainBtns(Session& s) {
    View(s).controlsEnabled = false;
}
void CfgEnaMainBtns(Session& s) {
    View(s).controlsEnabled = true;
}

void optTk_Click(Session& s, cmd::TrackModel model) {
    MaintenanceView& v = View(s);
    v.checkedModel = model;
    if (!s.portManager.ReOpenPort() || !Confirm(s, kChangeWarning)) {
        v.checkedModel.reset();
        return;
    }
    (void)s.link().Query(cmd::SetTrackModel(model)); // not examined
    v.txtCurModel = std::string(cmd::TrackModelName(model));
    s.redraw(); // the message comes over the value it speaks of
    if (model == cmd::TrackModel::Tracks1To3)
        s.dialogs.showMessage("Setting is done.", MessageIcon::Information);
}

int txtSetLzBias_KeyPress(int keyAscii) {
    constexpr int kBackspace = 8;
    if (keyAscii == kBackspace)
        return keyAscii;
    if (keyAscii < 0 || keyAscii > 127 || !IsHexDigitChar(char(keyAscii)))
        return 0;
    return keyAscii >= 'a' ? keyAscii - 'a' + 'A' : keyAscii;
}

void cmdSetLzBiasManual_Click(Session& s) {
    MaintenanceView& v = View(s);
    if (!s.portManager.ReOpenPort())
        return;
    if (!Confirm(s, kChangeWarning)) {
        v.txtSetLzBias.clear();
        return;
    }
    if (v.txtSetLzBias.empty()) {
        s.dialogs.showMessage("Please input Lead Zero Bias value.");
        return;
    }
    const auto value = cmd::ParseLeadZeroBiasInput(v.txtSetLzBias);
    if (!value) {
        s.dialogs.showMessage("Wrong Input!", MessageIcon::Critical, "Set LZ bais manually");
        return;
    }
    const std::string digits = HexByte(*value);
    if (reply::IsStatusOk(s.link().Query(*cmd::SetLeadZeroBias(*value)))) {
        v.txtCurLzBiaz = digits;
        s.redraw(); // the message comes over the value it speaks of
        s.dialogs.showMessage("Set Lead Zero Bias value Ok.");
    } else {
        s.dialogs.showMessage("Set Lead Zero Bias value failed.");
    }
}

void cmdSetLzBiasFixture_Click(Session& s) {
    if (Confirm(s, kChangeWarning))
        StartFixtureProcedure(s);
}

void cmdSetLoCo_Click(Session& s) {
    MaintenanceView& v = View(s);
    if (!s.portManager.ReOpenPort())
        return;
    CfgDisMainBtns(s);
    s.view.prompt.caption = "Please wait...";
    s.view.prompt.label = "Please wait...";
    ShowProgressWindow(s.view.prompt);
    const bool locking = v.cmdSetLoCoCaption == kCaptionLoCoOnly;
    bool stored = false;
    const bool tarn = InTarnConfiguration(s, [locking, &stored](MsrwDLL& link) {
        SetupMemory memory(link);
        stored = memory.write(kLowCoOnlyAddress, locking ? kLowCoOnlyValue : kLowCoFreeValue);
    });
    s.view.prompt.visible = false;
    // A lock the reader did not take must not be shown as set.
    const bool done = tarn && stored;
    if (tarn && !stored)
        s.dialogs.showMessage("The Reader/Writer did not take the coercivity setting.",
                              MessageIcon::Warning);
    if (done) {
        v.cmdSetLoCoCaption = locking ? kCaptionEnableSetCo : kCaptionLoCoOnly;
        if (locking)
            s.view.coercivityLabel = "Low Coercivity";
    }
    if (s.portManager.ReOpenPort() && done && locking) {
        // The reader now writes low coercivity only: it is told so, and the
        // stored format no longer asks for high coercivity.
        (void)s.link().Query(cmd::SelectLowCoercivity()); // not examined
        s.format.chkhico = false;
        if (SaveSetting(s))
            LoadSetting(s);
    }
    CfgEnaMainBtns(s);
}

void cmdUpdateFrm_Click(Session& s) {
    if (!s.portManager.ReOpenPort() || !Confirm(s, kBootloadWarning))
        return;
    s.link().SendCommand(cmd::EnterBootLoader());
    s.link().ClosePort();
}

void cmdSendCmd_Click(Session& s) {
    (void)RunScriptFromMaintenance(s, s.operationState<ScriptRunner>()); // it tells why not
}

void cmdCancel_Click(Session& s) {
    // The reader is left idle even when it cannot be reached: the dialog
    // still closes and the main window comes back usable.
    if (s.portManager.ReOpenPort()) {
        std::string version;
        (void)s.link().ReadVersion(version); // an unanswered read leaves it empty
        s.view.message = {version, kBlack};
        s.link().SendCommand(cmd::Idle());
    }
    s.view.prompt.visible = false;
    ReapplyCardType(s);
    View(s).visible = false;
    s.view.mainVisible = true;
    EnaMainBtns(s.view, s.port.MsrwMode);
    s.link().ClosePort();
}

} // namespace frmCfgSet

} // namespace msrw
