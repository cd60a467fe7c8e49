#pragma once
// The Tarn set-up dialog frmTarnSetup ("Tarn Setup") of "Quell Mode": the
// CUSTOM leading zero bytes, character sizes and densities kept in the Tarn
// set-up file, and the reader/writer's own settings kept in its set-up
// memory (serial format, protocol and mode, coercivity, leading zeros at 75
// and 210 BPI). The widgets bind this view.

#include "protocol/TarnFrame.h"
#include "session/FormatStore.h"

#include <array>
#include <cstddef>
#include <string>

namespace msrw {

class Session;

// The dialog's number boxes, in the order of TarnSetupView::boxes.
enum class TarnBox { txtLzT1, txtLzT2, txtLzT3, txt75Lz, txt210Lz };
inline constexpr std::size_t kTarnBoxes = 5;

// The baud rates of the options opt19200, opt9600, opt4800, opt2400, opt1200.
inline constexpr std::array<int, 5> kTarnBauds{19200, 9600, 4800, 2400, 1200};
// The parities of opt7odd, opt7even, opt7mark, opt7space.
inline constexpr std::array<tarn::TarnParity, 4> kTarnParities{
    tarn::TarnParity::Odd, tarn::TarnParity::Even, tarn::TarnParity::Mark, tarn::TarnParity::Space};

struct TarnSetupView {
    bool visible = false;
    // CmdTarnsetupOk, CmdTarnDefault and CmdTarnCancel.
    bool buttonsEnabled = true;
    std::array<std::string, kTarnBoxes> boxes{"9", "9", "9", "22", "61"}; // by TarnBox
    std::array<ListControl, 3> cboCustom; // cboT1custom..cboT3custom: "7 bit", "6 bit", "5 bit"
    std::array<ListControl, 3> cboTkBpi;  // cboTk1bpi..cboTk3bpi: "210", "75"
    tarn::SerialFormat serial;            // the baud and parity options
    bool framed = false;  // optprotocol1 ("STX command data ETX"), else optprotocol0
    bool modeOne = false; // optmode1 ("Mode 1 - Hex 04 byte termination"), else optmode2
    bool chktarnhico = false;
    // False for a reader that writes low coercivity only.
    bool chktarnhicoEnabled = true;

    TarnSetupView(); // the lists filled, every control at its default
    std::string& box(TarnBox b) { return boxes[std::size_t(b)]; }
    const std::string& box(TarnBox b) const { return boxes[std::size_t(b)]; }
};

namespace frmTarnSetup {

// Fills the dialog from the Tarn set-up file (written with the defaults when
// there is none) and from the set-up memory last read (s.g.tarnMemory).
void ShowSetupInterface(Session& session);

// A key typed into a number box: digits and Backspace pass. Returns the key
// to insert (0: none).
int txtBox_KeyPress(int keyAscii);
// Leaving a number box: an empty or out-of-range value takes its default.
void txtBox_LostFocus(Session& session, TarnBox box);

// The set-up memory values of the dialog, two hexadecimal digits each:
// addresses 01, 02, 03 and 04.
std::string LeadingZero75(const TarnSetupView& view);
std::string LeadingZero210(const TarnSetupView& view);
std::string BaudValue(const TarnSetupView& view);
std::string ProtocolValue(const TarnSetupView& view);

void DisTarnSetupBtn(Session& session);
void EnaTarnSetupBtn(Session& session);

void CmdTarnDefault_Click(Session& session);
// Writes the reader's set-up memory, moves the port to the new serial
// format, rewrites the set-up file and closes the dialog.
void CmdTarnsetupOk_Click(Session& session);
// Also what closing the dialog's window does.
void CmdTarnCancel_Click(Session& session);

} // namespace frmTarnSetup

} // namespace msrw
