#pragma once
// The card format set-up dialog frmSetup ("Set Up"): three tabs over the
// format store, the input rules of its lists and leading-zero boxes, Default
// per tab, and the Setup button's, OK's and Cancel's exchanges with the
// reader/writer. The widgets bind the session's format store and this view.

#include <cstddef>
#include <string>

namespace msrw {

class Session;

// The tabs of tbsSetup, in order: the index of the frame each one shows.
enum class SetupTab { Format = 1, UserType = 2, PassBook = 3 };

// The leading-zero boxes: txt210Leadz, txt75Leadz, txt210Leadz_Pb.
enum class LeadzBox { At210, At75, At210Pb };

struct SetupView {
    bool visible = false;
    SetupTab tab = SetupTab::Format;
    // False for a device that writes low coercivity only.
    bool chkhicoEnabled = true;
};

// cmdSetup_Click of the main window.
void cmdSetup_Click(Session& session);

namespace frmSetup {

void tbsSetup_Click(Session& session, SetupTab tab);

// A choice in the list that holds record entry `entry` (4-6, 8-28): the
// BPC and parity lists follow their coupling rules, the others just select.
void ChooseListItem(Session& session, std::size_t entry, int position);
// A key typed into a list: discarded, and the list goes back to position 0.
// Returns the key to insert, always 0.
int cboList_KeyPress(Session& session, std::size_t entry, int keyAscii);

// txt210Leadz_KeyPress and the like: digits, Backspace and code 127 pass.
// Returns the key to insert (0: none).
int txtLeadz_KeyPress(int keyAscii);
// The box's text changed to `text`: more than 999 is refused with a message
// and the box goes back to its default.
void txtLeadz_Change(Session& session, LeadzBox box, const std::string& text);
// txt210Leadz_LostFocus and txt75Leadz_LostFocus (the Pass Book box has none).
void txtLeadz_LostFocus(Session& session, LeadzBox box);

// Resets the controls of the tab that is shown.
void cmddefault_Click(Session& session);
void CmdOk_Click(Session& session);
// Also what closing the dialog's window does.
void cmdCancel_Click(Session& session);

} // namespace frmSetup

} // namespace msrw
