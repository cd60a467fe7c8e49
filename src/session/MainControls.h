#pragma once
// The main window's shared procedures: disabling and enabling its controls,
// refilling the card-type list, showing the mode, locking the track fields.

#include "files/SettingsRecord.h"
#include "protocol/MsrwMode.h"
#include "session/MainView.h"

#include <string>

namespace msrw {

void DisMainBtns(MainView& view);
void EnaMainBtns(MainView& view, MsrwMode mode);
// Refills the card-type list for `mode` and selects the position of entry 1.
// Selecting is the operator's choice of that type: the caller then runs the
// card-type set-up for it.
void UpdateCbo(MainView& view, MsrwMode mode, const SettingsRecord& record);
void UpdateMainDisp(MainView& view, MsrwMode mode);
// Enables the track fields that the tracks in use allow, disables the rest.
void UnlockTrackFields(MainView& view, int activeTracks);
void LockTrackFields(MainView& view);
// lblCoercivity2: "  Default Setting Active." in blue, or "  Not in Default
// Setting." in red.
void ShowDefaultSettingLabel(MainView& view, bool isDefault);

} // namespace msrw
