#pragma once
// The device configuration dialog frmCfg ("Velk MSRW Configuration"): the
// MSRW mode and the serial settings, made current and written to the port
// record by Save and Default. The widget binds this view.

#include "protocol/MsrwMode.h"
#include "session/FormatStore.h"

#include <array>
#include <cstdint>
#include <string>

namespace msrw {

class Session;

// The number fields, in the order of CfgView::fields.
enum class CfgField { txtLoCo, txtHiCo, txt75Lz, txt210Lz };
inline constexpr std::size_t kCfgFields = 4;

struct CfgView {
    bool visible = false;
    bool loaded = false; // the lists are filled once
    ListControl cboMsrwMode, cboBaudRate, cboParity, cboSelHiLo, cboTrkMode;
    std::array<std::string, kCfgFields> fields; // by CfgField
    // What Save took from the number fields, one byte each; only the dialog
    // keeps them.
    std::array<std::uint8_t, kCfgFields> savedFields{};
};

// cmdConfig_Click of the main window: its buttons disabled, the main window
// hidden, the dialog shown.
void cmdConfig_Click(Session& session);

namespace frmCfg {

void Form_Load(Session& session);
void cboMsrwMode_Click(Session& session, int position);
// txtLoCo_Change and the like: above its limit, a field is refused with a
// message and replaced.
void txtField_Change(Session& session, CfgField field, const std::string& text);
void cmdCfgDefault_Click(Session& session);
// What Save and Default make current of the mode: the session's MSRW mode and
// the main window's mode label.
void MakeMsrwModeCurrent(Session& session, MsrwMode mode);
void cmdCfgSave_Click(Session& session);
// Also what closing the window does.
void cmdCfgClose_Click(Session& session);

} // namespace frmCfg

} // namespace msrw
