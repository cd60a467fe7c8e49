// frmTarnSetup's OK and Cancel: the reader/writer's set-up memory written,
// the port moved to the serial format the reader now speaks, the Tarn set-up
// file rewritten and the card type applied again.

#include "operations/settings/TarnSetup.h"

#include "link/MsrwDLL.h"
#include "link/Notation.h"
#include "link/OperatorDialogs.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "operations/settings/TarnSetupValues.h"
#include "session/MainControls.h"
#include "session/Session.h"
#include "session/SetupMemory.h"
#include "session/TarnLink.h"

#include <utility>

namespace msrw {
namespace {

constexpr const char* kHighCoercivity = "FF";
constexpr const char* kLowCoercivity = "34";
constexpr const char* kMemoryRefused =
    "Failed to write the setup to the reader! Please Check the reader.";
constexpr const char* kSerialFormatAddress = "03";
// Tracks 1 and 3 share one density setting on the reader.
constexpr const char* kBpiMismatch = "BPI on Track 1 and BPI on Track 3 must be the same!";

TarnSetupView& View(Session& s) {
    return s.operationState<TarnSetupView>();
}

std::string CountByte(const std::string& decimal) {
    return HexByte(unsigned(std::stoul(decimal)));
}

struct MemoryWritten {
    bool serialFormatTaken = false;
    bool allTaken = true;
};

// Addresses 01, 02, 03, 04 and 1C, in that order, all of them even when one
// is refused; the memory is closed ("\40") before this returns, which is
// when the reader takes up a new serial format.
MemoryWritten WriteSetupMemory(Session& s, const TarnSetupView& v) {
    const std::array<std::pair<const char*, std::string>, 5> writes{{
        {"01", frmTarnSetup::LeadingZero75(v)},
        {"02", frmTarnSetup::LeadingZero210(v)},
        {kSerialFormatAddress, frmTarnSetup::BaudValue(v)},
        {"04", frmTarnSetup::ProtocolValue(v)},
        {"1C", v.chktarnhico ? kHighCoercivity : kLowCoercivity},
    }};
    MemoryWritten written;
    SetupMemory memory(s.link());
    for (const auto& [address, value] : writes) {
        const bool taken = memory.write(address, value);
        if (std::string_view(address) == kSerialFormatAddress)
            written.serialFormatTaken = taken;
        written.allTaken = written.allTaken && taken;
    }
    return written;
}

// The reader speaks `format` from now on: the Tarn serial settings follow it
// (kept in their file even when the port cannot be opened again, since that
// is what the reader answers to), and the port is opened with them. False
// ("Open Port Failed!" shown) when it does not open.
bool FollowSerialFormat(Session& s, const tarn::SerialFormat& format) {
    s.port.TarnBaudText = tarn::BaudText(format);
    s.port.TarnParityText = tarn::ParityText(format);
    (void)s.portManager.SaveTarnSerialSettings(); // a failure has been shown
    MsrwDLL& link = s.link();
    link.ClosePort();
    if (link.OpenPort(s.port.TarnPortText, s.port.TarnBaudText + s.port.TarnParityText) == kLinkOk)
        return true;
    s.dialogs.showMessage("Open Port Failed!");
    return false;
}

// What the rest of the program reads of the set-up memory, as just written.
void RememberSetupMemory(GlobalVar::TarnMemoryValues& memory, const TarnSetupView& v) {
    memory.leadingZero75 = frmTarnSetup::LeadingZero75(v);
    memory.leadingZero210 = frmTarnSetup::LeadingZero210(v);
    memory.serialFormat = frmTarnSetup::BaudValue(v);
    memory.coercivity = v.chktarnhico ? kHighCoercivity : kLowCoercivity;
    memory.protocolAndMode = tarn::ProtocolAndModeByte(v.framed, !v.modeOne);
    memory.modeOne = v.modeOne;
}

} // namespace

namespace frmTarnSetup {

std::string LeadingZero75(const TarnSetupView& v) {
    return CountByte(v.box(TarnBox::txt75Lz));
}

std::string LeadingZero210(const TarnSetupView& v) {
    return CountByte(v.box(TarnBox::txt210Lz));
}

std::string BaudValue(const TarnSetupView& v) {
    constexpr int k9600Odd = 0x01;
    return HexByte(unsigned(tarn::SerialFormatByte(v.serial).value_or(k9600Odd)));
}

std::string ProtocolValue(const TarnSetupView& v) {
    return HexByte(unsigned(tarn::ProtocolAndModeByte(v.framed, !v.modeOne)));
}

void CmdTarnsetupOk_Click(Session& s) {
    TarnSetupView& v = View(s);
    KeepBoxValues(v); // a box still being edited counts as left
    if (v.cboTkBpi[0].text() != v.cboTkBpi[2].text()) {
        s.dialogs.showMessage(kBpiMismatch); // the dialog stays open to correct it
        return;
    }
    DisTarnSetupBtn(s);
    std::string reply;
    (void)SendTarnStr(s, tarn::kReset, reply, true); // a reset is taken as it comes
    if (reply.empty()) {
        s.dialogs.showMessage(kResetFailedMessage);
        EnaTarnSetupBtn(s);
        return;
    }
    LoadTarnFraming(s);
    SetTarnBpi(s);
    const MemoryWritten written = WriteSetupMemory(s, v);
    const bool portOpen = !written.serialFormatTaken || FollowSerialFormat(s, v.serial);
    if (!written.allTaken) {
        // The operator may try again or cancel; nothing is kept as if it had been set.
        s.dialogs.showMessage(kMemoryRefused);
        EnaTarnSetupBtn(s);
        return;
    }
    RememberSetupMemory(s.g.tarnMemory, v);
    s.view.coercivityLabel = v.chktarnhico ? "High Coercivity" : "Low Coercivity";
    (void)WriteTarnSetupFile(s, SetupLinesOf(v)); // a failure has been shown
    s.g.TarnUnframed = !v.framed;
    v.visible = false;
    if (!portOpen) {
        // Only leaving is left; the Port menu can open the reader again.
        DisMainBtns(s.view);
        s.view.enable(Control::CmdExit);
        return;
    }
    (void)cboCardType_Click(s, s.view.cardTypes.selected); // the outcome has been shown
    EnaMainBtns(s.view, s.port.MsrwMode);
    (void)SendTarnStr(s, tarn::kIdle);
}

void CmdTarnCancel_Click(Session& s) {
    View(s).visible = false;
    EnaMainBtns(s.view, s.port.MsrwMode);
    (void)SendTarnStr(s, tarn::kIdle);
}

} // namespace frmTarnSetup

} // namespace msrw
