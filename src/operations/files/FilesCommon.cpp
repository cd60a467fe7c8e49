#include "operations/files/FilesCommon.h"

#include "session/Dispatcher.h"
#include "session/MainControls.h"
#include "session/Session.h"
#include "session/SwipePrompt.h"

#include <QDir>

namespace msrw {

std::string StartFolder(Session& s, const char* folder, const char* pathFile) {
    QDir().mkpath(s.data.path(folder));
    if (const auto lines = s.data.readLines(pathFile);
        lines && !lines->empty() && !lines->front().empty())
        return lines->front();
    return QDir::toNativeSeparators(s.data.path(folder)).toStdString();
}

void RememberChoice(Session& s, const char* pathFile, const std::string& name) {
    QString error;
    if (!s.data.writeLines(pathFile, {name}, error))
        s.dialogs.showMessage(error.toStdString(), MessageIcon::Warning);
}

QString ChosenPath(const std::string& name) {
    return QDir::fromNativeSeparators(QString::fromStdString(name));
}

void EndRunWithMessage(Session& s, const std::string& text, MessageIcon icon) {
    HidePrompt(s);
    s.dialogs.showMessage(text, icon);
    cmdCancel_Click(s);
}

void StopBeforeStart(Session& s, const std::string& text, MessageIcon icon) {
    if (!text.empty())
        s.dialogs.showMessage(text, icon);
    EnaMainBtns(s.view, s.port.MsrwMode);
    UnlockTrackFields(s.view, s.g.ActiveTracks);
    if (s.ormond())
        s.link().ClosePort();
}

std::string WithPlace(const std::string& problem, const std::string& file, long long line,
                      const std::string& detail) {
    std::string out = problem + "\n" + file;
    if (line > 0)
        out += ", line " + std::to_string(line);
    return out + ": " + detail;
}

} // namespace msrw
