#include "files/ScriptFile.h"

#include <algorithm>

namespace msrw {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The next line of `text` from `start`, and where the one after it begins.
std::string_view NextLine(std::string_view text, std::size_t& start) {
    const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    const std::string_view line = text.substr(start, end - start);
    start = end;
    if (start < text.size() && text[start] == '\r')
        ++start;
    if (start < text.size() && text[start] == '\n')
        ++start;
    return line;
}

} // namespace

std::vector<ScriptStep> ParseScript(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    std::vector<ScriptStep> steps;
    std::string pendingComment;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::string_view line = NextLine(text, start);
        if (line.substr(0, 5) == "//end")
            break;
        if (line.substr(0, 2) == "//") {
            pendingComment = std::string(line.substr(2));
        } else if (!line.empty() && line[0] == '\\') {
            steps.push_back({std::string(line), pendingComment});
            pendingComment.clear();
        }
    }
    return steps;
}

} // namespace msrw
