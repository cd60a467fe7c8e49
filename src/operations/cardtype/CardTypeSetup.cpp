#include "operations/cardtype/CardTypeSetup.h"

#include "cards/CardTypeList.h"
#include "link/OperatorDialogs.h"
#include "operations/cardtype/CardTypeDevice.h"
#include "operations/cardtype/TarnCardType.h"
#include "session/CardView.h"
#include "session/MainControls.h"
#include "session/Session.h"

namespace msrw {
namespace {

constexpr int kWideFieldLimit = 180; // USER and RAW
constexpr int kCustomFieldLimit = 220;

// Every frame back to the normal colour: the fields are emptied, so no
// check of earlier data holds any more.
void ClearTracks(MainView& view) {
    for (TrackFrame& frame : view.frames)
        frame.red = false;
    for (TrackBox& box : view.tracks)
        box.text.clear();
}

void SetFieldLimits(MainView& view, const std::string& type) {
    int limit = 0;
    if (type == card::USER || type == card::RAW)
        limit = kWideFieldLimit;
    else if (type == card::CUSTOM)
        limit = kCustomFieldLimit;
    else
        return; // the other types keep their limits; the key filter sets ISO and AAMVA
    for (TrackBox& box : view.tracks)
        box.maxLength = limit;
}

void ShowCaptions(Session& s) {
    const std::optional<FrameCaptions> captions = CurrentFrameCaptions(s);
    // Without captions of its own the type must not keep those of the last one.
    ShowFrameCaptions(s.view, captions.value_or(FrameCaptions{}));
}

CardTypeOutcome OutcomeOf(DeviceSetupResult result) {
    switch (result) {
    case DeviceSetupResult::Done:
        return CardTypeOutcome::Done;
    case DeviceSetupResult::Failed:
        return CardTypeOutcome::SettingFailed;
    case DeviceSetupResult::Ended:
        break;
    }
    return CardTypeOutcome::Ended;
}

void RemindOfHighCoercivity(Session& s) {
    if (s.g.CardType == card::AAMVA && !s.g.DatabaseRun && !s.format.chkhico)
        s.dialogs.showMessage(kHiCoReminder, MessageIcon::Information);
}

} // namespace

CardTypeOutcome cboCardType_Click(Session& s, int position) {
    CardTypeList& list = s.view.cardTypes;
    if (position < 0 || position >= static_cast<int>(list.items.size()))
        return CardTypeOutcome::NoSuchEntry;

    DisMainBtns(s.view);
    const bool portOpen = s.portManager.ReOpenPort();
    ClearTracks(s.view);
    list.selected = position;
    s.g.CardType = list.text();
    SetFieldLimits(s.view, s.g.CardType);
    ShowCaptions(s);

    if (InTarnFamily(s.g.ProtocolIsTarn, s.port.MsrwMode)) {
        if (SetUpTarnCardType(s) == TarnCardTypeResult::Ended)
            return CardTypeOutcome::Ended;
        EnaMainBtns(s.view, s.port.MsrwMode);
        return CardTypeOutcome::Done;
    }
    CardTypeOutcome outcome = CardTypeOutcome::PortFailed;
    if (portOpen) {
        outcome = OutcomeOf(SendCardTypeSettings(s, s.g.CardType));
        if (outcome == CardTypeOutcome::Ended)
            return outcome;
    }
    EnaMainBtns(s.view, s.port.MsrwMode);
    RemindOfHighCoercivity(s);
    return outcome;
}

int cboCardType_KeyDown(int keyCode) {
    return keyCode == kDeleteKeyCode ? 0 : keyCode;
}

int cboCardType_Change(CardTypeList& list) {
    list.selected = list.items.empty() ? -1 : 0;
    return list.selected;
}

} // namespace msrw
