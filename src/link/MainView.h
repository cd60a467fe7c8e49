#pragma once
// What the main window and the swipe prompt show, as plain state. The
// operations change it; the windows draw it; tests read it.

#include <array>
#include <cstdint>
#include <string>

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

struct MainView {
    ColouredText message;           // txtMessage
    std::string modeLabel;          // lblMode
    std::string coercivityLabel;    // lblCoercivity
    ColouredText defaultSettingLabel; // lblCoercivity2
    PortMenuView portMenu;
    PromptView prompt;              // frmMessage
    bool quitRequested = false;     // the program is to end
};

} // namespace msrw
