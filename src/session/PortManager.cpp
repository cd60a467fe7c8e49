#include "session/PortManager.h"

#include "files/SettingsFile.h"
#include "link/Clock.h"
#include "link/DataFolder.h"
#include "link/Notation.h"
#include "link/OperatorDialogs.h"
#include "protocol/CommandSet.h"
#include "protocol/ReplyClassification.h"
#include "session/LinkNotices.h"
#include "session/MainControls.h"
#include "session/ReaderScan.h"

namespace msrw {
namespace {

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

} // namespace

PortManager::PortManager(PortContext context) : ctx_(context) {}

PortManager::~PortManager() = default;

void PortManager::SetComm() {
    if (oMsrwComm)
        return;
    oMsrwComm = std::make_unique<MsrwDLL>(ctx_.ports);
    ShowLinkNotices(*oMsrwComm, ctx_.dialogs);
}

void PortManager::Delay(int ms) {
    ctx_.clock.Delay(ms);
}
void PortManager::Wait(int ms) {
    ctx_.clock.Wait(ms);
}

int PortManager::OpenReader() {
    ctx_.view.prompt.caption = "Please wait...";
    ShowProgressWindow(ctx_.view.prompt);
    const int status = DetectReader();
    if (status == kPortOk)
        ctx_.view.modeLabel = MsrwModeText(ctx_.state.MsrwMode);
    return status;
}

int PortManager::DetectReader() {
    SetComm();
    ReaderScan scan(*oMsrwComm, ctx_.clock, ctx_.state, ctx_.settings);
    const bool found = scan.DetectReader([this](int port) {
        ctx_.view.prompt.label = "Trying to connect port " + std::to_string(port);
        if (ctx_.render)
            ctx_.render();
    });
    if (found)
        ctx_.view.message = {scan.banner(), kBlack};
    const int status = found ? kPortOk : kPortNotFound;
    showScanResult(status);
    return status;
}

void PortManager::showScanResult(int status) {
    PortMenuView& menu = ctx_.view.portMenu;
    menu.checkOnly(ctx_.state.CurrentPort);
    menu.openChecked = status == kPortOk;
    menu.closeChecked = status != kPortOk;
    if (status == kPortOk)
        return;
    ctx_.dialogs.showMessage(kNoReaderMessage);
    if (!ctx_.state.ReaderFound)
        ctx_.view.quitRequested = true;
}

bool PortManager::LoadTarnSerialSettings() {
    const auto lines = ctx_.data.readLines(kTarnSerialFile);
    if (!lines)
        return false;
    auto line = [&](std::size_t i) { return i < lines->size() ? (*lines)[i] : std::string(); };
    ctx_.state.TarnPortText = line(0);
    ctx_.state.TarnParityText = line(1);
    ctx_.state.TarnBaudText = line(2);
    return true;
}

bool PortManager::SaveTarnSerialSettings() {
    const PortState& st = ctx_.state;
    QString error;
    if (ctx_.data.writeLines(kTarnSerialFile, {st.TarnPortText, st.TarnParityText, st.TarnBaudText},
                             error))
        return true;
    ctx_.dialogs.showMessage(error.toStdString(), MessageIcon::Warning);
    return false;
}

bool PortManager::bannerMatches(const std::string& port, const std::string& settings,
                                const char* banner, bool exact) {
    SetComm();
    if (oMsrwComm->OpenPort(port, settings) != kLinkOk)
        return false;
    std::string text;
    // A port with no reader leaves the text empty, which no banner matches.
    (void)oMsrwComm->ReadVersion(text);
    if (exact ? text == banner : StartsWith(text, banner))
        return true;
    // Whatever answered is not the reader: nothing more goes to it.
    oMsrwComm->ClosePort();
    return false;
}

bool PortManager::ReOpenPort() {
    if (ctx_.state.MsrwMode == MsrwMode::Quell)
        return true; // the Tarn protocol keeps its port open
    std::string lastPort = ctx_.state.CurrentPort ? std::to_string(ctx_.state.CurrentPort) : "";
    if (LoadTarnSerialSettings() && !ctx_.state.TarnPortText.empty())
        lastPort = ctx_.state.TarnPortText;
    if (!lastPort.empty() && bannerMatches(lastPort, kScanSettings, kReaderBanner, false))
        return true;
    for (int p = kFirstPort; p <= kLastPort; ++p) {
        if (bannerMatches(std::to_string(p), kScanSettings, kReaderBanner, false))
            return true;
    }
    // Reported whenever no reader answered, not only when the last port
    // failed to open: the operation would otherwise talk to the wrong device.
    ctx_.dialogs.showMessage("Open Port Failed!");
    return false;
}

bool PortManager::OpenFixture() {
    SetComm();
    PortState& st = ctx_.state;
    const std::string settings = st.BaudText + st.LineSettings;
    for (int p = kFirstPort; p <= kLastPort; ++p) {
        const int remembered = RememberedPort(st.FixturePort);
        if (remembered)
            p = remembered;
        std::string text;
        const bool opened = oMsrwComm->OpenPort(std::to_string(p), settings) == kLinkOk;
        if (opened) // an unanswered port leaves the text empty, which is no banner
            (void)oMsrwComm->ReadVersion(text);
        if (opened && text == kFixtureBanner &&
            reply::IsCommunicationTestAnswer(oMsrwComm->Query(cmd::CommunicationTest()))) {
            st.CurrentPort = static_cast<std::uint8_t>(p);
            st.FixturePort = static_cast<std::int16_t>(p);
            return true;
        }
        if (remembered) {
            st.FixturePort = 0;
            p = kFirstPort - 1;
        }
    }
    return false;
}

int PortManager::SendStoredLeadingZeros(bool checkReply) {
    SetComm();
    const SettingsRecord& s = ctx_.settings;
    const auto command = cmd::SetLeadingZeros(s[kEntryLeadz210], s[kEntryLeadz75]);
    if (!command) {
        ctx_.dialogs.showMessage("The leading zeros (" + std::to_string(s[kEntryLeadz210]) +
                                     " and " + std::to_string(s[kEntryLeadz75]) +
                                     ") must each be from 0 to 255; they were not sent.",
                                 MessageIcon::Warning);
        return kLeadingZerosRefused;
    }
    const std::string reply = oMsrwComm->Query(*command);
    if (checkReply && !reply::IsStatusOk(reply)) {
        ctx_.dialogs.showMessage("Set Leading Zero failed");
        return kLeadingZerosRefused;
    }
    return kPortOk;
}

int PortManager::PushCardSettings() {
    SetComm();
    SettingsRecord& s = ctx_.settings;
    const int status = SendStoredLeadingZeros(true);
    for (int track = 1; track <= 3; ++track) {
        const int position = s[EntryBpi(track)];
        if (position == kDensity210 || position == kDensity75)
            // The densities of this set-up are told apart by their replies
            // only when the operator changes them (the card type).
            (void)oMsrwComm->Query(
                *cmd::SetDensity(cmd::Track(track), position == kDensity210 ? 210 : 75));
    }
    SendStoredCoercivity();
    ShowDefaultSettingLabel(ctx_.view, IsDefaultFormat(s, false));
    return status;
}

std::optional<bool> PortManager::SendStoredCoercivity() {
    SetComm();
    const int entry = ctx_.settings[kEntryHiCo];
    if (entry != kHiCoHigh && entry != kHiCoLow)
        return std::nullopt;
    const bool high = entry == kHiCoHigh;
    // The coercivity is shown as chosen; the reader's answer is not judged here.
    (void)oMsrwComm->Query(high ? cmd::SelectHighCoercivity() : cmd::SelectLowCoercivity());
    ctx_.view.coercivityLabel = high ? "High Coercivity" : "Low Coercivity";
    return high;
}

bool PortManager::SaveCommCfgFile() {
    PortState& st = ctx_.state;
    st.CommLine = "Comm" + std::to_string(st.CurrentPort);
    QString error;
    if (ctx_.data.writeLines(kPortRecordFile,
                             {st.CommLine, st.BaudText, st.LineSettings, MsrwModeText(st.MsrwMode)},
                             error))
        return true;
    ctx_.dialogs.showMessage(error.toStdString(), MessageIcon::Warning);
    return false;
}

} // namespace msrw
