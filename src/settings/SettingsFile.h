#pragma once
// The settings file VelkMsrw.cfg: the 30 entries of the settings record, one
// decimal number a line. Entries from lists carry a space in the sign position
// (" 0", " 31"); the leading-zero boxes are written as typed.

#include "settings/SettingsRecord.h"

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace msrw {

class DataFolder;
class FormatStore;
class Session;
struct MainView;

inline constexpr const char* kSettingsFile = "\\VelkMsrw.cfg";

// The record a missing settings file is created with.
SettingsRecord DefaultSettingsRecord();

// One line of the file as a number: optional sign and decimal digits,
// surrounding spaces ignored. Entries are 16-bit, so "70000" does not convert.
std::optional<int> ParseSettingLine(std::string_view line);

struct LoadReport {
    bool createdDefaults = false; // the file was missing; the record holds the defaults
    int entriesRead = 0;          // entries taken from the file, 30 when complete
    QString error;                // the defaults could not be written, or the file not read
};

// Fills `record` from the settings file. A missing file is created with the
// defaults. A line that does not convert, or the end of a short file, ends the
// load there: the entries after it keep the values they had.
LoadReport LoadSetting(const DataFolder& folder, SettingsRecord& record);

// What the main window adds to the settings file.
struct MainWindowSettings {
    int openPort = 0; // the checked port item (1-10) while the port is open, else 0
    bool cardTypeEnabled = false;
    int cardTypePosition = 0; // saved only while the card-type list is enabled
};

// The Port menu and card-type list as the main window shows them: the port
// counts as open when "&Open" is checked and "&Close" is not.
MainWindowSettings MainWindowSettingsOf(const MainView& view);

// The 30 lines SaveSetting writes, from the live controls.
std::vector<std::string> SettingsFileLines(const FormatStore& format,
                                           const MainWindowSettings& main);

// A leading-zero box whose text would not load back (the loader would stop at
// it and lose every later entry); nullopt when all three are fine.
std::optional<QString> UnsavableLeadingZeros(const FormatStore& format);

// Replaces the settings file in one step. False with `error` set when nothing
// was written: a leading-zero box that would not load back, or a failed
// write; the previous file is then left as it was.
bool SaveSetting(const DataFolder& folder, const FormatStore& format,
                 const MainWindowSettings& main, QString& error);

// SaveSetting from a session's format store and main window. A failure has
// already been shown to the operator (as a warning) when this returns false.
bool SaveSetting(Session& session);

} // namespace msrw
