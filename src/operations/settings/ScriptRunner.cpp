#include "operations/settings/ScriptRunner.h"

#include "link/OperatorDialogs.h"
#include "operations/settings/Maintenance.h"
#include "session/MainControls.h"
#include "session/Session.h"

#include <QFileInfo>

namespace msrw {
namespace {

constexpr const char* kLineEnd = "\r\n";

// The Open dialog starts in the folder of the script last chosen.
std::string StartFolder(const Session& s, const char* pathFile) {
    if (const auto lines = s.data.readLines(pathFile); lines && !lines->empty())
        return QFileInfo(QString::fromStdString(lines->front())).absolutePath().toStdString();
    return s.data.path(kScriptFolder).toStdString();
}

void Clear(ScriptRunner& r) {
    r.steps.clear();
    r.step = 0;
    r.view.txtResponse.clear();
    r.view.txtcomment.clear();
    r.view.txtDspCmd.clear();
    r.view.cmdRunStepEnabled = true;
    r.view.historyFocused = false;
}

void ShowStep(ScriptRunner& r) {
    if (r.step < r.steps.size()) {
        r.view.txtResponse = r.steps[r.step].command;
        r.view.txtcomment = r.steps[r.step].comment;
        return;
    }
    r.view.txtResponse = kEndOfFile;
    r.view.txtcomment.clear();
    r.view.cmdRunStepEnabled = false;
}

// Chooses (unless a name is held) and reads the script; false when the
// operator cancelled or the file is no script (the operator was told).
bool LoadScript(Session& s, ScriptRunner& r, const char* pathFile) {
    Clear(r);
    if (r.ScriptFileName.empty()) {
        const auto chosen = s.dialogs.chooseOpenFile(StartFolder(s, pathFile), kScriptFilter);
        if (!chosen || chosen->empty())
            return false;
        r.ScriptFileName = *chosen;
        QString error;
        if (!s.data.writeLines(pathFile, {r.ScriptFileName}, error))
            // The script still runs; only the next dialog's folder is lost.
            s.dialogs.showMessage(error.toStdString(), MessageIcon::Warning);
    }
    ScriptLoad load = LoadScriptFile(QString::fromStdString(r.ScriptFileName));
    if (!load.error.empty()) {
        r.ScriptFileName.clear();
        s.dialogs.showMessage(load.error, MessageIcon::Warning);
        return false;
    }
    r.steps = std::move(load.steps);
    r.view.title = "Script File Name: " +
                   QFileInfo(QString::fromStdString(r.ScriptFileName)).fileName().toStdString();
    ShowStep(r);
    r.view.visible = true;
    return true;
}

} // namespace

void cmdSendCmd_Click(Session& s, ScriptRunner& r) {
    DisMainBtns(s.view);
    r.opener = ScriptOpener::MainWindow;
    // The commands go to the reader: its port is opened as for any operation.
    if (!s.portManager.ReOpenPort() || !LoadScript(s, r, kMainScriptPathFile)) {
        EnaMainBtns(s.view, s.port.MsrwMode);
        return;
    }
    s.view.mainVisible = false;
}

bool RunScriptFromMaintenance(Session& s, ScriptRunner& r) {
    r.opener = ScriptOpener::Maintenance;
    if (!s.portManager.ReOpenPort() || !LoadScript(s, r, kMaintenanceScriptPathFile))
        return false;
    s.operationState<Maintenance>().view.visible = false;
    return true;
}

namespace frmScript {

void cmdRunStep_Click(Session& s, ScriptRunner& r) {
    r.view.historyFocused = true;
    if (r.step >= r.steps.size()) {
        s.dialogs.showMessage(kEndOfFileClickExit);
        return;
    }
    const std::string& command = r.steps[r.step].command;
    r.view.cmdRunStepEnabled = false;
    s.redraw(); // the disabled button shows while the reader answers
    MsrwDLL& link = s.link();
    const std::string reply = link.QueryScript(command);
    r.view.cmdRunStepEnabled = true;
    r.view.txtDspCmd += "PC:    " + command + kLineEnd + "R/W:  " + reply + kLineEnd + kLineEnd;
    if (!link.IsPortOpen())
        s.dialogs.showMessage(link.lastError().isEmpty() ? "The port is not open."
                                                         : link.lastError().toStdString(),
                              MessageIcon::Warning);
    ++r.step;
    ShowStep(r);
}

void CmdExit_Click(Session& s, ScriptRunner& r) {
    r.view.cmdRunStepEnabled = true;
    Form_Unload(s, r);
}

void Form_Unload(Session& s, ScriptRunner& r) {
    Clear(r);
    r.ScriptFileName.clear();
    r.view.visible = false;
    if (r.opener == ScriptOpener::Maintenance) {
        s.operationState<Maintenance>().view.visible = true;
        return;
    }
    s.view.mainVisible = true;
    EnaMainBtns(s.view, s.port.MsrwMode);
    if (s.ormond())
        s.link().ClosePort(); // as at the end of every operation in this mode
}

} // namespace frmScript

} // namespace msrw
