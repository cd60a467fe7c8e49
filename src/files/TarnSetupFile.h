#pragma once
// The Tarn set-up file ("tarnsetup.stp"), pure: ten lines, one value each,
// read by key. What it holds: the leading zero bytes before each track's
// CUSTOM data ("L1".."L3"), each track's CUSTOM character size ("t1xbit"..,
// 0 = 7, 1 = 6, 2 = 5 bits), each track's density ("t1bpi".., 0 = 210,
// 1 = 75 BPI), and "p", "1" for the bare (unframed) protocol.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace msrw {

inline constexpr const char* kTarnSetupFile = "\\tarnsetup.stp";

using TarnSetupLines = std::array<std::string, 10>;

// The keys in line order.
inline constexpr std::array<const char*, 10> kTarnSetupKeys{
    "L1", "L2", "L3", "t1xbit", "t2xbit", "t3xbit", "t1bpi", "t2bpi", "t3bpi", "p"};

// 9, 9, 9, 0, 2, 2, 0, 1, 0, 1.
TarnSetupLines DefaultTarnSetup();

// The value of `key` in the file's lines, spaces around it dropped; "" for
// an unknown key or a line the file does not have.
std::string TarnSettingOf(const std::vector<std::string>& lines, std::string_view key);

// The default value of `key`; "" for an unknown key.
std::string DefaultTarnSetting(std::string_view key);

// Whether a value of "p" means the bare protocol: "1" (and "True"/"-1", the
// way a true flag may have been written) is true.
bool TarnFlagValue(std::string_view value);

// The file's ten lines as they are stored.
std::vector<std::string> TarnSetupFileLines(const TarnSetupLines& values);

// The file's lines checked: each value that is one its key can hold
// (leading zero bytes 0-255, character sizes 0-2, densities 0-1, "p" a
// flag), the others and the missing lines at their defaults.
struct TarnSetupCheck {
    TarnSetupLines values;
    int firstDamagedLine = 0; // 1-10: the first line that is not a value of its key; 0 none
};
TarnSetupCheck CheckTarnSetupLines(const std::vector<std::string>& lines);

} // namespace msrw
