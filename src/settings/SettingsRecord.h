#pragma once

#include <array>
#include <cstddef>

namespace msrw {

// The settings record: 30 integers kept in VelkMsrw.cfg. Port management uses
// entry 0 (port the reader last answered on, 0 none), 2 and 3 (leading zeros
// at 210 and 75 BPI), 4-6 (density of tracks 1-3: 0 = 210, 1 = 75 BPI) and
// 7 (coercivity: 1 high, 0 low).
struct SettingsRecord {
    std::array<int, 30> entry{};
    int& operator[](std::size_t i) { return entry[i]; }
    int operator[](std::size_t i) const { return entry[i]; }
};

} // namespace msrw
