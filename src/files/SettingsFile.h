#pragma once
// The settings file VelkMsrw.cfg: the 30 entries of the settings record, one
// decimal number a line. Entries from lists carry a space in the sign position
// (" 0", " 31"); the leading-zero boxes are written as typed.

#include "files/SettingsRecord.h"

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace msrw {

class DataFolder;

inline constexpr const char* kSettingsFile = "\\VelkMsrw.cfg";

// The record a missing settings file is created with.
SettingsRecord DefaultSettingsRecord();

// Whether the record holds the default format: the leading zeros and the
// densities, and with `withPassBook` the Pass Book sync zeros and leading
// zeros too.
bool IsDefaultFormat(const SettingsRecord& record, bool withPassBook);

// One line of the file as a number: optional sign and decimal digits,
// surrounding spaces ignored. Entries are 16-bit, so "70000" does not convert.
std::optional<int> ParseSettingLine(std::string_view line);

struct LoadReport {
    bool createdDefaults = false; // the file was missing; the record holds the defaults
    int entriesRead = 0;          // entries taken from the file, 30 when complete
    int firstDamagedLine = 0;     // 1-30: the first entry that did not convert; 0 none
    QString damageNotice;         // the file was damaged, kept as ".bad" and repaired
    QString error; // the defaults could not be written, the file not read or not repaired
};

// Fills `record` from lines 1-30 of the settings file, whatever its size. A
// missing file is created with the defaults. An entry that does not convert
// (a damaged or short file, or one that cannot be read) takes its default;
// the damaged file (or one that goes on after line 30) is then kept as
// "VelkMsrw.cfg.bad" and the repaired record replaces it, so the damage is
// reported once and nothing the operator had is lost.
[[nodiscard]] LoadReport LoadSetting(const DataFolder& folder, SettingsRecord& record);

// A list position with the sign position kept, as " 0" or " 31": how the
// entries that come from lists are written.
std::string ListPositionText(int position);

} // namespace msrw
