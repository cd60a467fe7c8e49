#include "session/MainControls.h"

#include "cards/CardTypeList.h"

#include <array>

namespace msrw {
namespace {

void Enable(MainView& view, std::initializer_list<Control> controls) {
    for (Control c : controls)
        view.enable(c);
}

} // namespace

void DisMainBtns(MainView& view) {
    view.enabled = AllControls(false);
}

void EnaMainBtns(MainView& view, MsrwMode mode) {
    Enable(view, {Control::cmdRead, Control::cmdConfig, Control::CmdExit});
    const bool ormond = mode == MsrwMode::Ormond;
    if (ormond || mode == MsrwMode::Quell)
        Enable(view, {Control::cmdWrite, Control::cmdCompare, Control::cmdSeqWrite,
                      Control::cmdSetup, Control::cmdToFile, Control::cmdFromFile,
                      Control::cboCardType, Control::cmdSendCmd, Control::cmdDatabase});
    // The maintenance dialog speaks the escape-sequence family only: on the
    // Tarn path its button (and the menu item that follows it) stays off.
    if (ormond)
        Enable(view, {Control::cmdErase, Control::cmdTest, Control::cmdConfigSetting});
}

void UpdateCbo(MainView& view, MsrwMode mode, const SettingsRecord& record) {
    view.cardTypes.items = CardTypesForMode(mode);
    const int position = record[kEntryCardType];
    // A position the list does not have (a damaged settings file) picks the first.
    const int count = int(view.cardTypes.items.size());
    view.cardTypes.selected = count == 0 ? -1 : (position >= 0 && position < count ? position : 0);
}

void UpdateMainDisp(MainView& view, MsrwMode mode) {
    view.modeLabel = MsrwModeText(mode);
}

void UnlockTrackFields(MainView& view, int activeTracks) {
    view.track(1).enabled = activeTracks == 1 || activeTracks == 2;
    view.track(2).enabled = true;
    view.track(3).enabled = activeTracks != 0 && activeTracks != 1;
}

void ShowDefaultSettingLabel(MainView& view, bool isDefault) {
    view.defaultSettingLabel = isDefault ? ColouredText{"  Default Setting Active.", kBlue}
                                         : ColouredText{"  Not in Default Setting.", kRed};
}

void LockTrackFields(MainView& view) {
    for (TrackBox& box : view.tracks)
        box.enabled = false;
}

} // namespace msrw
