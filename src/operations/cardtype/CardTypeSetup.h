#pragma once
// Choosing a card type in the main window's list cboCardType: the window is
// set up for the type (empty tracks, frame captions, field limits) and the
// reader/writer is told the type's bits per character, leading zeros and
// densities.

namespace msrw {

class Session;
struct CardTypeList;

inline constexpr const char* kSettingFailedMessage =
    "Fail to send setting. Please check the communication.";
inline constexpr const char* kHiCoReminder =
    "Usually require Hi-Coercivity card to write a AAMVA card.";
inline constexpr int kDeleteKeyCode = 46;

enum class CardTypeOutcome {
    Done,          // the window and the device are set up for the type
    SettingFailed, // the device did not take a setting; the operator was told, the type stays
    PortFailed,    // no reader could be opened (the operator was told); only the window was set up
    NoSuchEntry,   // the position names no entry of the list; nothing changed
    Ended,         // the run was ended during a pause; stopped there
};

// cboCardType_Click: the operator chose the entry at `position` of the list.
[[nodiscard]] CardTypeOutcome cboCardType_Click(Session& session, int position);

// cboCardType_KeyDown: the Delete key is swallowed (0); other keys pass.
int cboCardType_KeyDown(int keyCode);

// cboCardType_Change: an edit of the list's text selects the first entry
// again. Returns the position now selected (-1 for an empty list); selecting
// is a choice of that type, so the caller then runs cboCardType_Click for it.
int cboCardType_Change(CardTypeList& list);

} // namespace msrw
