#pragma once
// Start-up: the start-up dialog (tracks in use, protocol family), the probe of
// the protocol the device speaks, the main window's start-up on the
// escape-sequence path ("Ormond Mode") or the Tarn path ("Quell Mode"), and
// the unload step.

#include "session/Session.h"

#include <functional>
#include <string>

namespace msrw {

inline constexpr const char* kTrackSelectionFile = "\\tracksetting.bau";
inline constexpr const char* kProgramTitle = "Velk Brindle Lathwick V4.0";
// Asked when the search found no reader: the operator names the port.
inline constexpr const char* kPortNumberQuestion = "Please input port number.";

// What the start-up dialog frmpwd shows.
struct PwdView {
    bool visible = false;
    int trackSelect = 0; // the checked TrackSelect button: 0, 1 or 2
    bool optTarnpro = false;
    bool optVelkpro = false;
    std::string lblpwd;
};

class Startup {
public:
    // `chooseCardType` runs the operator's choice of a card type (the list
    // selection made by UpdateCbo is one).
    Startup(Session& session, std::function<void()> chooseCardType);

    PwdView pwd;

    void frmpwd_Form_Load();
    // False when the dialog stays open.
    [[nodiscard]] bool cmdpwdok_Click();
    void cmdpwdcancel_Click();

    [[nodiscard]] bool VelkOrTarn();
    void frmMain_Form_Load();
    // The unload step; CmdExit_Click runs it too.
    void Form_Unload();

private:
    bool probeTarnFilePort(std::string& reply);
    bool probePort(int port, bool& result);
    bool askForPort(bool& result);
    void startEscapePath();
    void startTarnPath();
    void sendStoredCardSettings();
    void lockTrackFields();

    Session& s_;
    std::function<void()> chooseCardType_;
    bool unloaded_ = false;
};

} // namespace msrw
