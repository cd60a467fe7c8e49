// frmSetup's OK and Cancel: the format sent to the reader/writer, the main
// window's captions and labels brought in line, and the record saved.

#include "operations/settings/SetupDialog.h"

#include "cards/CardFormat.h"
#include "cards/CardTypeList.h"
#include "files/SettingsFile.h"
#include "link/OperatorDialogs.h"
#include "protocol/CommandSet.h"
#include "protocol/ReplyClassification.h"
#include "session/CardView.h"
#include "session/DeviceFormat.h"
#include "session/MainControls.h"
#include "session/Session.h"
#include "session/SettingsSave.h"
#include "session/SwipePrompt.h"

#include <optional>

namespace msrw {
namespace {

constexpr int kStepPauseMs = 200;
constexpr const char* kReaderNotFound = "Reader/Writer not found!";

// No card operation runs while the dialog is up, so no pause can see one end.
void Pause(Session& s) {
    (void)s.Delay(kStepPauseMs);
}

std::string Caption(std::size_t i, const std::string& bpc, const std::string& bpi, const char* gap,
                    const char* tail) {
    return "Track" + std::to_string(i + 1) + gap + bpc + "-BPC" + gap + bpi + "-BPI" + tail;
}

// The captions OK gives the types whose format this dialog sets; nullopt
// for the others, which keep theirs.
std::optional<FrameCaptions> OkCaptions(const std::string& cardType, const CardFormat& format) {
    std::array<std::string, 3> bpc;
    if (cardType == card::USER)
        bpc = format.userBpc;
    else if (cardType == card::RAW)
        bpc = {"8", "8", "8"};
    else if (cardType == card::ISO)
        bpc = {"7", "5", "5"};
    else if (cardType == card::AAMVA)
        bpc = {"7", "5", "7"};
    else
        return std::nullopt;
    FrameCaptions captions;
    for (std::size_t i = 0; i < 3; ++i)
        captions[i] = Caption(i, bpc[i], format.bpi[i], "   ", "   ");
    if (cardType == card::RAW)
        captions[2] = "Track3   8-BPC  " + format.bpi[2] + "-BPI   ";
    return captions;
}

void RetitleFrames(Session& s) {
    if (const std::optional<FrameCaptions> captions =
            OkCaptions(s.g.CardType, s.format.cardFormat()))
        ShowFrameCaptions(s.view, *captions);
}

void RetitleUserFramesTight(Session& s) {
    const CardFormat format = s.format.cardFormat();
    for (std::size_t i = 0; i < 3; ++i)
        s.view.frames[i].caption = Caption(i, format.userBpc[i], format.bpi[i], "  ", "");
}

void ShowWaitPrompt(Session& s) {
    PromptView& prompt = s.view.prompt;
    prompt.caption = "Wait";
    prompt.background = kYellow;
    prompt.labelColour = kBlack;
    prompt.label = "Please wait to setup data...";
    prompt.buttonEnabled = false;
    prompt.visible = true;
}

void CloseDialog(Session& s) {
    s.view.prompt.visible = false;
    s.view.prompt.buttonEnabled = true;
    s.operationState<SetupView>().visible = false;
    s.view.mainVisible = true;
}

// The reader did not answer the communication test: nothing is sent, and the
// main window can at least set up again or end.
void CloseWithoutReader(Session& s) {
    CloseDialog(s);
    s.view.enable(Control::cmdSetup);
    s.view.enable(Control::CmdExit);
}

// Reopens the port and tests the link. False when the reader does not
// answer; the operator has been told.
bool ReaderAnswers(Session& s) {
    if (!s.portManager.ReOpenPort())
        return false; // "Open Port Failed!" has been shown
    if (reply::IsCommunicationTestAnswer(s.link().Query(cmd::CommunicationTest())))
        return true;
    s.dialogs.showMessage(kReaderNotFound);
    return false;
}

void ReportLeadingZeros(Session& s, int status, LeadingZerosFor which) {
    if (status == kFormatOk)
        return;
    const std::optional<std::string> problem = LeadingZerosProblem(s.format, which);
    s.dialogs.showMessage(problem.value_or("Failed to set Leading Zero"));
}

void SendFormat(Session& s) {
    DeviceFormat device(s.link(), s.format, s.clock);
    Pause(s);
    if (device.SendHiCo() != kFormatOk)
        s.dialogs.showMessage("Failed to set Hi-Co/Low-Co");
    Pause(s);
    if (s.g.CardType == card::PASS_BOOK) {
        ReportLeadingZeros(s, device.SendLeadz_Pb(), LeadingZerosFor::PassBook);
        return;
    }
    ReportLeadingZeros(s, device.SendLeadz(), LeadingZerosFor::Format);
    // Density refusals are not reported: the captions show what was asked for.
    Pause(s);
    (void)device.SendTk2Bpi();
    Pause(s);
    (void)device.SendTk1Bpi();
    Pause(s);
    (void)device.SendTk3Bpi();
}

void ShowDeviceCoercivity(Session& s) {
    const std::optional<reply::Coercivity> c =
        reply::ParseCoercivity(s.link().Query(cmd::AskCoercivity()));
    if (c)
        s.view.coercivityLabel =
            *c == reply::Coercivity::High ? "High Coercivity" : "Low Coercivity";
}

// The bits per character by the card-type list's position: ISO, AAMVA, and
// raw bytes for every other type.
void SendTrackFormat(Session& s) {
    const int position = s.view.cardTypes.selected;
    const cmd::BitsPerCharacter bits = position == 0   ? cmd::BitsPerCharacter{7, 5, 5}
                                       : position == 1 ? cmd::BitsPerCharacter{7, 5, 7}
                                                       : cmd::BitsPerCharacter{8, 8, 8};
    (void)s.link().Query(*cmd::SetBitsPerCharacter(bits)); // the reply is not judged
}

bool IsDefaultSetupFormat(const FormatStore& f) {
    return f.txt210Leadz == "61" && f.txt75Leadz == "22" && f.bpi[0].selected == kDensity210 &&
           f.bpi[1].selected == kDensity75 && f.bpi[2].selected == kDensity210;
}

void SaveAndLabel(Session& s) {
    s.view.defaultSettingLabel = IsDefaultSetupFormat(s.format)
                                     ? ColouredText{" , Default Setting Active.", kBlue}
                                     : ColouredText{" , Custom Setting Active.", kRed};
    if (SaveSetting(s)) // a failure has been shown
        s.format.store(s.record);
}

// A USER track of 5 or 4 bits holds only "0"-"?": a field with anything
// else could not be written in the new format, so it is emptied.
void ClearUnfitUserTracks(Session& s) {
    for (int track = 1; track <= 3; ++track) {
        const std::string bpc = s.format.user[std::size_t(track - 1)].bpc.text();
        if (bpc != "5" && bpc != "4")
            continue;
        std::string& text = s.view.track(track).text;
        for (const char c : text) {
            if ((c < '0' || c > '?') && c != '\r' && c != '\n') {
                text.clear();
                break;
            }
        }
    }
}

// The whole of OK in "Ormond Mode".
void SendSetupAndClose(Session& s) {
    const bool opened = s.portManager.ReOpenPort();
    RetitleFrames(s);
    ShowWaitPrompt(s);
    if (!opened || !reply::IsCommunicationTestAnswer(s.link().Query(cmd::CommunicationTest()))) {
        if (opened) // else "Open Port Failed!" has been shown
            s.dialogs.showMessage(kReaderNotFound);
        CloseWithoutReader(s);
        return;
    }
    SendFormat(s);
    if (s.g.CardType == card::USER)
        RetitleUserFramesTight(s);
    EnaMainBtns(s.view, s.port.MsrwMode);
    Pause(s);
    ShowDeviceCoercivity(s);
    SendTrackFormat(s);
    SaveAndLabel(s);
    Pause(s);
    CloseDialog(s);
    if (s.g.CardType == card::USER)
        ClearUnfitUserTracks(s);
    s.link().ClosePort();
}

// Leading zeros that do not fit the command's byte are refused before
// anything is sent; nullopt when all three boxes can be sent.
std::optional<std::string> UnsendableLeadingZeros(const FormatStore& format) {
    if (auto problem = LeadingZerosProblem(format, LeadingZerosFor::Format))
        return problem;
    return LeadingZerosProblem(format, LeadingZerosFor::PassBook);
}

// Cancel's step 3: the format frame, coercivity and Pass Book sync zeros
// and leading zeros put back as the record holds them, when any differs.
void RevertToRecord(FormatStore& f, const SettingsRecord& r) {
    const auto differs = [](const std::string& text, int value) {
        return ParseSettingLine(text) != std::optional<int>(value);
    };
    bool changed =
        differs(f.txt75Leadz, r[kEntryLeadz75]) || differs(f.txt210Leadz, r[kEntryLeadz210]) ||
        differs(f.txt210Leadz_Pb, r[kEntryLeadz210Pb]) || f.chkhico != (r[kEntryHiCo] == kHiCoHigh);
    for (int track = 1; track <= 3; ++track) {
        changed = changed || f.listForEntry(EntryBpi(track))->selected != r[EntryBpi(track)];
        const std::size_t sync = EntryPassBook(track, kPassBookSyncZerosField);
        changed = changed || f.listForEntry(sync)->selected != r[sync];
    }
    if (!changed)
        return;
    f.txt75Leadz = std::to_string(r[kEntryLeadz75]);
    f.txt210Leadz = std::to_string(r[kEntryLeadz210]);
    f.txt210Leadz_Pb = std::to_string(r[kEntryLeadz210Pb]);
    f.chkhico = r[kEntryHiCo] == kHiCoHigh;
    for (int track = 1; track <= 3; ++track) {
        f.listForEntry(EntryBpi(track))->select(r[EntryBpi(track)]);
        const std::size_t sync = EntryPassBook(track, kPassBookSyncZerosField);
        f.listForEntry(sync)->select(r[sync]);
    }
}

} // namespace

namespace frmSetup {

void CmdOk_Click(Session& s) {
    // "Quell Mode" sets up through the Tarn dialog, which checks its densities.
    if (!s.ormond())
        return;
    if (const std::optional<std::string> problem = UnsendableLeadingZeros(s.format)) {
        s.dialogs.showMessage(*problem, MessageIcon::Warning);
        return; // the dialog stays open for the operator to correct it
    }
    SendSetupAndClose(s);
}

void cmdCancel_Click(Session& s) {
    if (!ReaderAnswers(s)) {
        CloseWithoutReader(s);
        return;
    }
    Pause(s);
    EnaMainBtns(s.view, s.port.MsrwMode);
    s.view.coercivityLabel =
        s.record[kEntryHiCo] == kHiCoHigh ? "High Coercivity" : "Low Coercivity";
    RevertToRecord(s.format, s.record);
    s.operationState<SetupView>().visible = false;
    if (s.ormond())
        SendSetupAndClose(s);
    s.view.mainVisible = true;
}

} // namespace frmSetup

} // namespace msrw
