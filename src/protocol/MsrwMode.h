#pragma once
// The MSRW mode: the command dialect of every card operation. The program
// holds it as this type; its texts ("Ormond Mode") are what is shown and
// stored.

#include <optional>
#include <string>
#include <string_view>

namespace msrw {

enum class MsrwMode { Velk, Ormond, Quell, Pellam };

// "Velk Mode", "Ormond Mode", "Quell Mode", "Pellam Mode".
std::string_view MsrwModeName(MsrwMode mode);
inline std::string MsrwModeText(MsrwMode mode) {
    return std::string(MsrwModeName(mode));
}
// The mode a text names exactly; nullopt for any other text.
std::optional<MsrwMode> MsrwModeFromName(std::string_view name);

} // namespace msrw
