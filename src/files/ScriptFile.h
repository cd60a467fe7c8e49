#pragma once
// Script files: device commands in the command-text notation, one a line,
// with comments.
//   "//end"      ends the script; nothing after it is read
//   "//" text    the comment shown with the next command (a later one replaces it)
//   "\" ...      a command: the whole line
//   anything else is ignored

#include <string>
#include <string_view>
#include <vector>

namespace msrw {

struct ScriptStep {
    std::string command;
    std::string comment;
};

std::vector<ScriptStep> ParseScript(std::string_view text);

} // namespace msrw
