// The main start-up's Tarn path: the reader/writer speaks the single-byte
// family, and the program runs in "Quell Mode" with its port kept open.

#include "operations/startup/Startup.h"

#include "cards/CardTypeList.h"
#include "files/TarnSetupLoad.h"
#include "link/OperatorDialogs.h"
#include "session/MainControls.h"
#include "session/TarnLink.h"

namespace msrw {
namespace {

constexpr const char* kTrack2At75Bpi = "\\3B\\32\\4C";

// The set-up file as it is, but for the bare protocol: start-up always
// speaks to the reader unframed, whatever the file said. A damaged file is
// read as the settings record is: kept as ".bad", repaired with the defaults
// for what could not be read, and the operator told.
void ForceUnframedSetup(Session& s) {
    const TarnSetupLoad load = LoadTarnSetup(s.data);
    if (!load.notice.isEmpty())
        s.dialogs.showMessage(load.notice.toStdString(), MessageIcon::Warning);
    const TarnSetupLines& v = load.values;
    // A file that cannot be written has been reported; the run goes on unframed.
    (void)TarnWriteSetting(s, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], "1");
    s.g.TarnUnframed = true;
}

} // namespace

void Startup::startTarnPath() {
    s_.link().setTarnFamily(true);
    s_.view.coercivityLabelHidden = true;
    s_.view.hide(Control::cmdConfigSetting);
    s_.setMsrwMode(MsrwMode::Quell);
    UpdateMainDisp(s_.view, s_.port.MsrwMode);
    ForceUnframedSetup(s_);
    // A reader that does not answer its reset has been reported; the window
    // still comes up, so that the operator can reach the port menu.
    (void)ReadEEprom(s_);
    EnaMainBtns(s_.view, s_.port.MsrwMode);
    UpdateCbo(s_.view, s_.port.MsrwMode, s_.record);
    if (chooseCardType_)
        chooseCardType_();
    s_.g.EraseMask = 7;
    if (s_.g.CardType == card::ISO)
        (void)SendTarnStr(s_, kTrack2At75Bpi); // answers are not judged at start-up
    (void)SendTarnStr(s_, tarn::kIdle);
    s_.view.defaultSettingLabel = {};
    s_.view.prompt.visible = false;
    lockTrackFields();
}

} // namespace msrw
