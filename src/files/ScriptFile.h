#pragma once
// Script files: device commands in the command-text notation, one a line,
// with comments.
//   "//end"      ends the script; nothing after it is read
//   "//" text    the comment shown with the next command (a later one replaces it)
//   "\" ...      a command: the whole line
//   anything else is ignored
// Lines end with CR LF, LF or CR alone; a byte-order mark at the start is no
// part of the first line.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace msrw {

struct ScriptStep {
    std::string command;
    std::string comment;
};

// A script is a short list of commands typed by hand; a file larger than
// this is not one (a device file or a wrong choice) and is refused unread.
inline constexpr std::size_t kMaxScriptBytes = 1024 * 1024;

std::vector<ScriptStep> ParseScript(std::string_view text);

} // namespace msrw
