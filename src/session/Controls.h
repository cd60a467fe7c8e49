#pragma once
// The main window's controls that operations enable, disable or hide, listed
// once: the enumeration and the object names the window gives its widgets.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace msrw {

enum class Control {
    cmdRead,
    cmdWrite,
    cmdErase,
    cmdCompare,
    cmdSeqWrite,
    cmdToFile,
    cmdFromFile,
    CmdExit,
    cmdConfig,
    cmdSetup,
    cboCardType,
    cmdSendCmd,
    cmdDatabase,
    cmdConfigSetting,
    cmdTest,
};

inline constexpr std::size_t kControlCount = 15;

// In the order of the enumeration.
inline constexpr std::array<std::string_view, kControlCount> kControlNames{
    "cmdRead",     "cmdWrite",    "cmdErase",    "cmdCompare",       "cmdSeqWrite",
    "cmdToFile",   "cmdFromFile", "CmdExit",     "cmdConfig",        "cmdSetup",
    "cboCardType", "cmdSendCmd",  "cmdDatabase", "cmdConfigSetting", "cmdTest"};

constexpr std::string_view ControlName(Control control) {
    return kControlNames[static_cast<std::size_t>(control)];
}

constexpr std::optional<Control> ControlNamed(std::string_view name) {
    for (std::size_t i = 0; i < kControlCount; ++i)
        if (kControlNames[i] == name)
            return static_cast<Control>(i);
    return std::nullopt;
}

static_assert(ControlName(Control::cmdTest) == "cmdTest", "names follow the enumeration");

} // namespace msrw
