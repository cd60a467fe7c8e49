#include "files/ScriptFile.h"

namespace msrw {

std::vector<ScriptStep> ParseScript(std::string_view text) {
    std::vector<ScriptStep> steps;
    std::string pendingComment;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.substr(0, 5) == "//end")
            break;
        if (line.substr(0, 2) == "//") {
            pendingComment = std::string(line.substr(2));
        } else if (!line.empty() && line[0] == '\\') {
            steps.push_back({std::string(line), pendingComment});
            pendingComment.clear();
        }
        start = end + 1;
    }
    return steps;
}

} // namespace msrw
