#pragma once

#include <array>
#include <cstddef>

namespace msrw {

// The settings record: 30 integers kept in VelkMsrw.cfg. Port management uses
// entry 0 (port the reader last answered on, 0 none), 2 and 3 (leading zeros
// at 210 and 75 BPI), 4-6 (density of tracks 1-3: 0 = 210, 1 = 75 BPI) and
// 7 (coercivity: 1 high, 0 low).

// Where each part of the card format sits in the record.
inline constexpr std::size_t kSettingsEntries = 30;
inline constexpr std::size_t kEntryPort = 0;
inline constexpr std::size_t kEntryCardType = 1;
inline constexpr std::size_t kEntryLeadz210 = 2;
inline constexpr std::size_t kEntryLeadz75 = 3;
inline constexpr std::size_t kEntryFirstBpi = 4; // tracks 1-3: 4, 5, 6
inline constexpr std::size_t kEntryHiCo = 7;
inline constexpr std::size_t kEntryFirstUser = 8;      // per track: BPC, parity, SS, ES
inline constexpr std::size_t kEntryFirstPassBook = 20; // per track: sync zeros, SS, ES
inline constexpr std::size_t kEntryLeadz210Pb = 29;
inline constexpr std::size_t kUserFields = 4;     // BPC, parity, SS, ES
inline constexpr std::size_t kPassBookFields = 3; // sync zeros, SS, ES

// Entry 7's values.
inline constexpr int kHiCoHigh = 1;
inline constexpr int kHiCoLow = 0;
// The values of the density entries 4-6.
inline constexpr int kDensity210 = 0;
inline constexpr int kDensity75 = 1;

// The entries of track 1-3.
constexpr std::size_t EntryBpi(int track) {
    return kEntryFirstBpi + static_cast<std::size_t>(track - 1);
}
constexpr std::size_t EntryUser(int track, std::size_t field) {
    return kEntryFirstUser + static_cast<std::size_t>(track - 1) * kUserFields + field;
}
constexpr std::size_t EntryPassBook(int track, std::size_t field) {
    return kEntryFirstPassBook + static_cast<std::size_t>(track - 1) * kPassBookFields + field;
}
inline constexpr std::size_t kPassBookSyncZerosField = 0;

struct SettingsRecord {
    std::array<int, kSettingsEntries> entry{};
    int& operator[](std::size_t i) { return entry[i]; }
    int operator[](std::size_t i) const { return entry[i]; }
};

} // namespace msrw
