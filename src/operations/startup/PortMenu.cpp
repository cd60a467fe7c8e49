#include "operations/startup/PortMenu.h"

#include "files/SettingsFile.h"
#include "link/OperatorDialogs.h"
#include "session/MainControls.h"
#include "session/Session.h"
#include "session/SettingsSave.h"

namespace msrw {
namespace {

// Opens the reader on the current port setting and loads it with the stored
// card settings. `refillCardTypes` for "&Open", which also refills the list.
void OpenReaderFromMenu(Session& s, int chosenPort, bool refillCardTypes,
                        void (*chooseCardType)(Session&)) {
    LoadSetting(s);
    if (chosenPort != 0)
        s.record[kEntryPort] = chosenPort; // the scan tries the port the operator named first
    DisMainBtns(s.view);
    s.view.enable(Control::CmdExit);
    s.view.portMenu.visible = false;
    if (s.portManager.OpenReader() != kPortOk) {
        DisMainBtns(s.view);
        s.view.enable(Control::cmdSetup);
        s.view.enable(Control::CmdExit);
        s.view.enable(Control::cboCardType, false);
        s.view.portMenu.visible = true;
        s.view.prompt.visible = false;
        return;
    }
    // Refused leading zeros have been shown; the rest of the settings went.
    (void)s.portManager.PushCardSettings();
    if (refillCardTypes) {
        UpdateCbo(s.view, s.port.MsrwMode, s.record);
        if (chooseCardType)
            chooseCardType(s);
    }
    EnaMainBtns(s.view, s.port.MsrwMode);
    s.view.enable(Control::CmdExit);
    s.view.portMenu.visible = true;
    s.view.prompt.visible = false;
}

// "Quell Mode": the Tarn port opens with the serial settings the reader
// speaks (those of the Tarn serial settings file), the baud text followed
// directly by the parity text.
void OpenTarnPort(Session& s) {
    const PortState& p = s.port;
    if (s.link().OpenPort(p.TarnPortText, p.TarnBaudText + p.TarnParityText) != kLinkOk) {
        s.dialogs.showMessage("Open Port Failed!");
        DisMainBtns(s.view);
        return;
    }
    s.view.portMenu.openChecked = true;
    s.view.portMenu.closeChecked = false;
    EnaMainBtns(s.view, s.port.MsrwMode);
    s.view.portMenu.checkOnly(s.link().openPortNumber());
}

} // namespace

void mnuPortN_Click(Session& s, int index, void (*chooseCardType)(Session&)) {
    s.view.message = {};
    if (s.quell()) {
        s.port.TarnPortText = std::to_string(index + 1);
        OpenTarnPort(s);
        return;
    }
    s.port.CurrentPort = static_cast<std::uint8_t>(index + 1);
    OpenReaderFromMenu(s, index + 1, false, chooseCardType);
}

void mnuPortOpen_Click(Session& s, void (*chooseCardType)(Session&)) {
    s.view.message = {};
    if (s.quell()) {
        OpenTarnPort(s);
        return;
    }
    OpenReaderFromMenu(s, 0, true, chooseCardType);
}

void mnuPortClose_Click(Session& s) {
    s.view.message = {};
    s.link().ClosePort();
    s.view.portMenu.openChecked = false;
    s.view.portMenu.closeChecked = true;
    s.view.portMenu.checkOnly(0);
    DisMainBtns(s.view);
    if (s.ormond())
        (void)SaveSetting(s); // a failure has been shown; the port closes anyway
    s.view.enable(Control::CmdExit);
}

void mnuExit_Click(Session& s) {
    s.view.quitRequested = true;
}

} // namespace msrw
