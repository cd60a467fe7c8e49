#include "operations/startup/Startup.h"

#include "files/SettingsFile.h"
#include "link/OperatorDialogs.h"
#include "protocol/CommandSet.h"
#include "protocol/ReplyClassification.h"
#include "session/MainControls.h"
#include "session/OpStates.h"
#include "session/SettingsSave.h"
#include "session/TarnLink.h"

#include <array>

namespace msrw {
namespace {

// The banner as the operator reads it: without the CR that ends its line.
std::string BannerShown(std::string reply) {
    constexpr std::string_view kLineEnd = "\\0D";
    if (reply.size() >= kLineEnd.size() &&
        std::string_view(reply).substr(reply.size() - kLineEnd.size()) == kLineEnd)
        reply.resize(reply.size() - kLineEnd.size());
    return reply;
}

// The probe lists of the protocol search, in the order they are tried.
const std::array<const char*, 5> kProbeBauds = {"9600,", "1200,", "2400,", "4800,", "19200,"};
const std::array<const char*, 5> kProbeLines = {"s , 7, 1", "e , 7, 1", "o , 7, 1", "m , 7, 1",
                                                "n , 8, 1"};
constexpr const char* kEscapeSettings = "9600N,8,1";

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool IsBannerOrEscapeStatus4(const std::string& reply) {
    return StartsWith(reply, kReaderBanner) || reply == "\\1B4";
}

} // namespace

Startup::Startup(Session& session, std::function<void()> chooseCardType)
    : s_(session), chooseCardType_(std::move(chooseCardType)) {}

void Startup::frmpwd_Form_Load() {
    pwd.visible = true;
    pwd.trackSelect = 0;
    if (s_.data.exists(kTrackSelectionFile)) {
        const auto lines = s_.data.readLines(kTrackSelectionFile);
        const std::string line = lines && !lines->empty() ? lines->front() : "";
        pwd.trackSelect = line == "0" ? 0 : line == "1" ? 1 : 2;
    } else {
        pwd.trackSelect = 2;
    }
    pwd.lblpwd = "Please select Read/Write Tracks";
    s_.portManager.SetComm();
    s_.view.prompt.label = "Connecting the unit. Please wait...";
    s_.view.prompt.visible = true;
    pwd.optVelkpro = true;
    pwd.optTarnpro = false;
    std::string reply;
    if (probeTarnFilePort(reply) && IsBannerOrEscapeStatus4(reply)) {
        const bool tarn = s_.port.TarnBaudText != "9600," || reply != "\\1B4";
        pwd.optTarnpro = tarn;
        pwd.optVelkpro = !tarn;
    }
    s_.view.prompt.visible = false;
}

bool Startup::cmdpwdok_Click() {
    s_.g.ActiveTracks = static_cast<std::int16_t>(
        pwd.trackSelect == 0 || pwd.trackSelect == 1 ? pwd.trackSelect : 2);
    if (s_.data.exists(kTrackSelectionFile)) {
        QString error;
        if (!s_.data.writeLines(kTrackSelectionFile, {std::to_string(s_.g.ActiveTracks)}, error))
            s_.dialogs.showMessage(error.toStdString(), MessageIcon::Warning);
    }
    if (!pwd.optTarnpro && !pwd.optVelkpro) {
        s_.dialogs.showMessage("Protocol Option must be chosen!", MessageIcon::Critical, "Dialog");
        return false;
    }
    s_.g.ProtocolIsTarn = pwd.optTarnpro;
    pwd.visible = false;
    frmMain_Form_Load();
    if (!s_.view.quitRequested)
        s_.view.mainVisible = true;
    s_.view.prompt.visible = false;
    return true;
}

void Startup::cmdpwdcancel_Click() {
    pwd.visible = false;
    s_.view.prompt.visible = false;
    s_.view.quitRequested = true;
}

bool Startup::probeTarnFilePort(std::string& reply) {
    if (!s_.portManager.LoadTarnSerialSettings())
        return false;
    const PortState& p = s_.port;
    if (s_.link().OpenPort(p.TarnPortText, p.TarnBaudText + p.TarnParityText) != kLinkOk)
        return false;
    reply = s_.link().Query(cmd::Probe());
    return true;
}

// Step 3/4 of the search for one port. True when the search is over.
bool Startup::probePort(int port, bool& result) {
    MsrwDLL& link = s_.link();
    const std::string number = std::to_string(port);
    if (link.OpenPort(number, std::string(kProbeBauds[0]) + kProbeLines[4]) != kLinkOk)
        return false;
    const std::string reply = link.Query(cmd::Probe());
    if (reply.empty())
        return false;
    if (reply == "\\1B4") {
        s_.port.TarnPortText = number;
        s_.port.TarnParityText = kProbeLines[4];
        s_.port.TarnBaudText = kProbeBauds[0];
        result = false;
        return true;
    }
    for (int line = 0; line <= 3; ++line) {
        if (link.OpenPort(number, std::string(kProbeBauds[0]) + kProbeLines[std::size_t(line)]) !=
            kLinkOk)
            continue;
        if (StartsWith(link.Query(cmd::Probe()), kReaderBanner)) {
            s_.port.TarnPortText = number;
            s_.port.TarnParityText = kProbeLines[std::size_t(line)];
            s_.port.TarnBaudText = kProbeBauds[0];
            result = true;
            return true;
        }
    }
    return false;
}

// Step 5: the operator names the port. False when the program is to end.
bool Startup::askForPort(bool& result) {
    s_.view.prompt.visible = false;
    const auto input = s_.dialogs.askText(kPortNumberQuestion, "Input Port Number");
    const std::string port = input.value_or("");
    const bool valid = (port.size() == 1 && port[0] >= '1' && port[0] <= '9') || port == "10";
    if (!valid) {
        s_.dialogs.showMessage("Invalid Input!");
        s_.view.quitRequested = true;
        return false;
    }
    MsrwDLL& link = s_.link();
    link.ClosePort();
    std::string reply;
    if (link.OpenPort(port, kEscapeSettings) == kLinkOk) {
        (void)link.TarnExchange(cmd::Probe(), reply); // no answer leaves the reply empty
        if (reply == "\\1B4") {
            result = false;
            return true;
        }
    }
    for (std::size_t baud = 1; baud <= 4; ++baud) {
        if (link.OpenPort(port, std::string(kProbeBauds[baud]) + kProbeLines[0]) != kLinkOk)
            continue;
        (void)link.TarnExchange(cmd::Probe(), reply); // no answer leaves the reply empty
        if (reply.size() <= 20)
            continue;
        for (std::size_t line = 0; line <= 3; ++line) {
            if (link.OpenPort(port, std::string(kProbeBauds[baud]) + kProbeLines[line]) != kLinkOk)
                continue;
            (void)link.TarnExchange(cmd::Probe(), reply); // no answer leaves the reply empty
            if (StartsWith(reply, kReaderBanner)) {
                s_.port.TarnPortText = port;
                s_.port.TarnParityText = kProbeLines[line];
                s_.port.TarnBaudText = kProbeBauds[baud];
                s_.view.message = {BannerShown(reply), kBlack};
                result = true;
                (void)s_.portManager.SaveTarnSerialSettings(); // a failure has been shown
                return true;
            }
        }
    }
    s_.dialogs.showMessage("No Brindle is found on Port " + port);
    s_.view.quitRequested = true;
    return false;
}

bool Startup::VelkOrTarn() {
    s_.view.prompt.label = "Connecting the unit. Please wait...";
    ShowProgressWindow(s_.view.prompt);
    bool result = false;
    std::string reply;
    if (probeTarnFilePort(reply)) {
        if (IsBannerOrEscapeStatus4(reply)) {
            result = reply != "\\1B4" || s_.port.TarnBaudText != "9600,";
            if (result)
                s_.view.message = {BannerShown(reply), kBlack};
            return result;
        }
        (void)s_.Delay(3000); // no operation runs at start-up, so none can end
    }
    // The reader's USB virtual ports first, then every port.
    for (int port : s_.ports.usbPorts()) {
        if (probePort(port, result)) {
            (void)s_.portManager.SaveTarnSerialSettings(); // a failure has been shown
            return result;
        }
    }
    for (int port = kFirstPort; port <= kLastPort; ++port) {
        if (probePort(port, result)) {
            (void)s_.portManager.SaveTarnSerialSettings(); // a failure has been shown
            return result;
        }
    }
    askForPort(result);
    return result;
}

void Startup::frmMain_Form_Load() {
    if (s_.g.FirstLoadDone) {
        s_.link().ClosePort();
        return;
    }
    s_.view.title = kProgramTitle;
    s_.portManager.SetComm();
    s_.view.hide(Control::cmdConfigSetting);
    bool tarn = VelkOrTarn();
    if (s_.view.quitRequested)
        return;
    s_.view.prompt.visible = true;
    if (!tarn && s_.g.ProtocolIsTarn) {
        s_.link().Query(cmd::SwitchToTarn());
        tarn = VelkOrTarn();
    } else if (tarn && !s_.g.ProtocolIsTarn) {
        s_.link().Query(cmd::SwitchToVelk());
    }
    if (s_.g.ProtocolIsTarn)
        startTarnPath();
    else
        startEscapePath();
}

void Startup::startEscapePath() {
    s_.link().setTarnFamily(false);
    s_.port.ReaderFound = false;
    s_.port.FixturePort = 0;
    s_.g.OpState = kOpIdle;
    s_.port.BaudText = "9600";
    s_.port.LineSettings = "S,7,1";
    s_.setMsrwMode(MsrwMode::Ormond);
    LoadSetting(s_);
    s_.format.apply(s_.record);
    if (s_.portManager.OpenReader() == kPortOk) {
        sendStoredCardSettings();
    } else {
        DisMainBtns(s_.view);
        s_.view.enable(Control::cmdSetup);
        s_.view.enable(Control::CmdExit);
        s_.view.enable(Control::cboCardType, false);
    }
    if (s_.view.quitRequested)
        return;
    s_.g.EraseMask = 7;
    s_.link().ClosePort();
    lockTrackFields();
}

// Step 6's end, on either path: only the fields of the tracks in use take input.
void Startup::lockTrackFields() {
    UnlockTrackFields(s_.view, s_.g.ActiveTracks);
    s_.g.FirstLoadDone = true;
}

// Step 5 of the main start-up once the reader answered.
void Startup::sendStoredCardSettings() {
    s_.view.prompt.visible = true;
    // No operation runs at start-up, so no pause here can see one end.
    (void)s_.Delay(200);
    // Start-up does not judge the reply: a refusal has been shown already.
    (void)s_.portManager.SendStoredLeadingZeros(false);
    if (const std::optional<bool> high = s_.portManager.SendStoredCoercivity())
        s_.format.chkhico = *high;
    (void)s_.Delay(200);
    ShowDefaultSettingLabel(s_.view, IsDefaultFormat(s_.record, true));
    UpdateCbo(s_.view, s_.port.MsrwMode, s_.record);
    if (chooseCardType_)
        chooseCardType_();
    // A reader that went away has been reported ("Open Port Failed!").
    (void)s_.portManager.ReOpenPort();
}

void Startup::Form_Unload() {
    // Exit unloads, and so does the window closing as the program quits: the
    // settings are saved (and a failure told) once.
    if (unloaded_)
        return;
    unloaded_ = true;
    if (s_.ormond()) {
        s_.link().SendCommand(cmd::Idle());
        (void)SaveSetting(s_); // a failure has been shown; the program ends anyway
    } else if (s_.quell()) {
        // The reset is answered before the port closes, so it reaches the reader.
        (void)SendTarnStr(s_, tarn::kReset); // unanswered, it changes nothing now
        s_.link().ClosePort();
    }
    // Every mode ends the program: in "Velk Mode" and "Pellam Mode" Exit
    // would otherwise do nothing at all.
    s_.view.quitRequested = true;
}

} // namespace msrw
