#pragma once
// What Read To File, Write From File and the database application share:
// their folders in the data folder, the files that remember the last choice,
// the file dialogs' start, and the way a run ends with a message.

#include "link/OperatorDialogs.h"

#include <QString>
#include <string>

namespace msrw {

class Session;

inline constexpr const char* kCardFilesFolder = "\\To From Files";
inline constexpr const char* kCardFilesPathFile = "\\To From Files\\To From Files.pth";
inline constexpr const char* kDatabaseFolder = "\\Database";
inline constexpr const char* kDatabasePathFile = "\\Database\\Database.pth";

// Where the file dialog starts: the name remembered in `pathFile`, else the
// folder (created in the data folder when missing).
std::string StartFolder(Session& session, const char* folder, const char* pathFile);
// Remembers the name chosen; the operator is told when that fails (the run
// goes on: only the next dialog's start is lost).
void RememberChoice(Session& session, const char* pathFile, const std::string& name);

// The native path of a name the operator chose.
QString ChosenPath(const std::string& name);

// Ends the running operation through the prompt's End action after telling
// the operator `text`.
void EndRunWithMessage(Session& session, const std::string& text,
                       MessageIcon icon = MessageIcon::None);
// Stops an operation that has not started yet: tells the operator, enables
// the main buttons and, in "Ormond Mode", closes the port.
void StopBeforeStart(Session& session, const std::string& text,
                     MessageIcon icon = MessageIcon::None);

// "<problem>\n<file>, line <n>: <detail>": what is wrong and where.
std::string WithPlace(const std::string& problem, const std::string& file, long long line,
                      const std::string& detail);

} // namespace msrw
