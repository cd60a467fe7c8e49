#pragma once
// The script runner frmScript: a script file's commands are sent to the
// reader one at a time, each with its reply in a history. It is opened from
// the main window's "Run Script File" button or from the maintenance dialog,
// and returns to the window it was opened from.

#include "files/ScriptLoad.h"

#include <cstddef>
#include <string>
#include <vector>

namespace msrw {

class Session;

// The two path files remembering the last script chosen: the main window's
// and the maintenance dialog's.
inline constexpr const char* kMainScriptPathFile = "\\Script.pth";
inline constexpr const char* kMaintenanceScriptPathFile = "\\Script\\Script.pth";
// Where the Open dialog starts while no path file exists.
inline constexpr const char* kScriptFolder = "\\Script";
inline constexpr const char* kScriptFilter = "Script Files(*.txt)|*.txt|All Files(*.*)|*.*";

inline constexpr const char* kEndOfFile = "End of File.";
inline constexpr const char* kEndOfFileClickExit = "End of File. Please click Exit.";

// frmScript as plain state: the window binds its widgets to it.
struct ScriptView {
    bool visible = false;
    std::string title;       // "Script File Name: " and the file's name
    std::string txtResponse; // the next command
    std::string txtcomment;  // its comment
    std::string txtDspCmd;   // the history, lines ended by CR LF
    bool cmdRunStepEnabled = true;
    // Moves the focus to the history (each step does).
    bool historyFocused = false;
};

enum class ScriptOpener { MainWindow, Maintenance };

struct ScriptRunner {
    std::vector<ScriptStep> steps; // ScriptCommands and ScriptComments
    std::size_t step = 0;          // the next command
    std::string ScriptFileName;
    ScriptOpener opener = ScriptOpener::MainWindow;
    ScriptView view;
};

// cmdSendCmd_Click of the main window.
void cmdSendCmd_Click(Session& session, ScriptRunner& runner);
// The send-command button of the maintenance dialog: true when the runner
// was opened (the dialog is then to be hidden).
[[nodiscard]] bool RunScriptFromMaintenance(Session& session, ScriptRunner& runner);

namespace frmScript {

void cmdRunStep_Click(Session& session, ScriptRunner& runner);
void CmdExit_Click(Session& session, ScriptRunner& runner);
// Also what closing the window does.
void Form_Unload(Session& session, ScriptRunner& runner);

} // namespace frmScript

} // namespace msrw
