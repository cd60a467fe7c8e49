#pragma once
// The maintenance dialog frmCfgSet ("Congfiguration"): settings kept in the
// reader itself (lead-zero bias, track model, coercivity lock), the boot
// loader for a firmware update, and scripts. It runs while the main window
// is hidden; the main window's "Config Setting" button opens it.

#include "protocol/CommandSet.h"

#include <optional>
#include <string>

namespace msrw {

class Session;

inline constexpr const char* kMaintenanceTitle = "Congfiguration";
inline constexpr const char* kWarningTitle = "Warning!";
inline constexpr const char* kChangeWarning =
    "Warning! This will change the configuration setting!";
inline constexpr const char* kBootloadWarning =
    "Warning! The Reader/Writer will go to Bootload mode!";
inline constexpr const char* kCaptionEnableSetCo = "Enable Set Coercivity";
inline constexpr const char* kCaptionLoCoOnly = "Set LoCo only";

// frmCfgSet as plain state: the window binds its widgets to it.
struct MaintenanceView {
    bool visible = false;
    std::string txtCurLzBiaz; // "Current Lead Zero Bias Value:"
    std::string txtCurModel;  // "Current Device Model"
    std::string txtSetLzBias; // "Input a HEX value to set LZ bias manually:"
    // The checked option under "Set New Device Model", if any.
    std::optional<cmd::TrackModel> checkedModel;
    // The dialog's record of the reader's coercivity lock.
    std::string cmdSetLoCoCaption = kCaptionLoCoOnly;
    // CfgDisMainBtns / CfgEnaMainBtns: the buttons, options and fields.
    bool controlsEnabled = true;
};

struct Maintenance {
    MaintenanceView view;
};

// cmdConfigSetting_Click of the main window: reads the reader's state and
// opens the dialog. The dialog does not open when no reader answers.
void cmdConfigSetting_Click(Session& session);

// "\1Bi" answered: four characters give the code of the fourth as two
// hexadecimal digits, six give characters 5 and 6, anything else is shown.
std::string ShownLeadZeroBias(const std::string& reply);

namespace frmCfgSet {

void CfgDisMainBtns(Session& session);
void CfgEnaMainBtns(Session& session);

// optTk2_Click, optTk23_Click, optTk123_Click, optTk12_Click.
void optTk_Click(Session& session, cmd::TrackModel model);
// The key filter of txtSetLzBias: hexadecimal digits (made upper case) and
// Backspace pass; 0 swallows the key.
int txtSetLzBias_KeyPress(int keyAscii);
void cmdSetLzBiasManual_Click(Session& session);
void cmdSetLzBiasFixture_Click(Session& session);
void cmdSetLoCo_Click(Session& session);
void cmdUpdateFrm_Click(Session& session);
void cmdSendCmd_Click(Session& session);
// Also what closing the dialog does (Form_Unload).
void cmdCancel_Click(Session& session);

} // namespace frmCfgSet

} // namespace msrw
