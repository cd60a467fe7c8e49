#pragma once
// SaveSetting: the settings file written from the live controls of the
// set-up dialog and the main window.

#include <QString>
#include <optional>
#include <string>
#include <vector>

namespace msrw {

class DataFolder;
class FormatStore;
class Session;
struct MainView;

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
[[nodiscard]] bool SaveSetting(const DataFolder& folder, const FormatStore& format,
                               const MainWindowSettings& main, QString& error);

// SaveSetting from a session's format store and main window. A failure has
// already been shown to the operator (as a warning) when this returns false.
[[nodiscard]] bool SaveSetting(Session& session);

// LoadSetting into the session's record. The defaults could not be written,
// or the file could not be read: the operator is told, and the run goes on
// with what the record holds.
void LoadSetting(Session& session);

} // namespace msrw
