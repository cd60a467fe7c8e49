#pragma once
// What the main window and the swipe prompt show, as plain state. The
// operations change it; the windows draw it; tests read it.

#include "session/Controls.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace msrw {

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Colour&) const = default;
};

inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kRed{255, 0, 0};
inline constexpr Colour kBlue{0, 0, 255};
inline constexpr Colour kYellow{255, 255, 0};
inline constexpr Colour kWhite{255, 255, 255};

struct ColouredText {
    std::string text;
    Colour colour = kBlack;
};

// The swipe prompt, also used as the progress window while ports are scanned.
struct PromptView {
    bool visible = false;
    std::string caption = "Card Read";
    std::string label = "Please Swipe a Card";
    int labelFontSize = 8;
    Colour background = kYellow;
    Colour labelColour = kBlack;
    std::string buttonCaption = "Cancel";
    bool buttonEnabled = true;
};

// The prompt as the progress window of a search: yellow, its button disabled.
inline void ShowProgressWindow(PromptView& prompt) {
    prompt.background = kYellow;
    prompt.labelColour = kBlack;
    prompt.buttonEnabled = false;
    prompt.visible = true;
}

struct PortMenuView {
    std::array<bool, 10> portChecked{};
    bool openChecked = false;
    bool closeChecked = false;
    bool visible = true;

    void checkOnly(int port) {
        for (int i = 0; i < 10; ++i)
            portChecked[std::size_t(i)] = (i + 1 == port);
    }
};

// A track field: its text (line breaks included), whether it takes input,
// and the most characters it accepts (0: no limit).
struct TrackBox {
    std::string text;
    bool enabled = true;
    int maxLength = 0;
};

// A track frame: its caption, red when the track does not fit the card type.
struct TrackFrame {
    std::string caption;
    bool red = false;
};

struct CardTypeList {
    std::vector<std::string> items;
    int selected = -1;
    std::string text() const {
        return selected >= 0 && selected < int(items.size()) ? items[std::size_t(selected)] : "";
    }
};

inline std::array<bool, kControlCount> AllControls(bool value) {
    std::array<bool, kControlCount> all;
    all.fill(value);
    return all;
}

inline Control ControlOrThrow(std::string_view name) {
    if (const std::optional<Control> c = ControlNamed(name))
        return *c;
    throw std::invalid_argument("there is no control named \"" + std::string(name) + "\"");
}

struct MainView {
    std::string title;
    ColouredText message;             // txtMessage
    std::array<TrackBox, 3> tracks;   // txtTrk1..txtTrk3
    std::array<TrackFrame, 3> frames; // fraTrk1..fraTrk3
    CardTypeList cardTypes;           // cboCardType (enabled state in `enabled`)
    std::string modeLabel;            // lblMode
    std::string coercivityLabel;      // lblCoercivity
    ColouredText defaultSettingLabel; // lblCoercivity2
    // Whether each control is enabled, and whether it is hidden.
    std::array<bool, kControlCount> enabled = AllControls(true);
    std::array<bool, kControlCount> hidden = AllControls(false);
    PortMenuView portMenu;
    // lblCoercivity is not shown while the reader speaks the Tarn family.
    bool coercivityLabelHidden = false;
    PromptView prompt; // frmMessage
    bool mainVisible = false;
    bool quitRequested = false; // the program is to end

    bool isEnabled(Control c) const { return enabled[static_cast<std::size_t>(c)]; }
    // By object name; a name that is no control is a mistake and throws.
    bool isEnabled(std::string_view name) const { return isEnabled(ControlOrThrow(name)); }
    void enable(Control c, bool on = true) { enabled[static_cast<std::size_t>(c)] = on; }
    bool isHidden(Control c) const { return hidden[static_cast<std::size_t>(c)]; }
    void hide(Control c) { hidden[static_cast<std::size_t>(c)] = true; }
    TrackBox& track(int n) { return tracks[std::size_t(n - 1)]; }
    const TrackBox& track(int n) const { return tracks[std::size_t(n - 1)]; }
    TrackFrame& frame(int n) { return frames[std::size_t(n - 1)]; }
};

} // namespace msrw
