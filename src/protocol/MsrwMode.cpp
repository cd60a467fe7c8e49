#include "protocol/MsrwMode.h"

#include <array>

namespace msrw {
namespace {

constexpr std::array<std::string_view, 4> kModeNames{"Velk Mode", "Ormond Mode", "Quell Mode",
                                                     "Pellam Mode"};

} // namespace

std::string_view MsrwModeName(MsrwMode mode) {
    return kModeNames[static_cast<std::size_t>(mode)];
}

std::optional<MsrwMode> MsrwModeFromName(std::string_view name) {
    for (std::size_t i = 0; i < kModeNames.size(); ++i)
        if (kModeNames[i] == name)
            return static_cast<MsrwMode>(i);
    return std::nullopt;
}

} // namespace msrw
