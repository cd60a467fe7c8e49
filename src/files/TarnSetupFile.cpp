#include "files/TarnSetupFile.h"

#include <algorithm>

namespace msrw {
namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

TarnSetupLines DefaultTarnSetup() {
    return {"9", "9", "9", "0", "2", "2", "0", "1", "0", "1"};
}

std::string TarnSettingOf(const std::vector<std::string>& lines, std::string_view key) {
    const auto found = std::find_if(kTarnSetupKeys.begin(), kTarnSetupKeys.end(),
                                    [key](const char* k) { return key == k; });
    if (found == kTarnSetupKeys.end())
        return "";
    const auto line = static_cast<std::size_t>(found - kTarnSetupKeys.begin());
    return line < lines.size() ? std::string(Trimmed(lines[line])) : "";
}

bool TarnFlagValue(std::string_view value) {
    const std::string_view v = Trimmed(value);
    return v == "1" || v == "-1" || v == "True" || v == "true" || v == "TRUE";
}

std::vector<std::string> TarnSetupFileLines(const TarnSetupLines& values) {
    return {values.begin(), values.end()};
}

std::string DefaultTarnSetting(std::string_view key) {
    const TarnSetupLines defaults = DefaultTarnSetup();
    return TarnSettingOf({defaults.begin(), defaults.end()}, key);
}

} // namespace msrw
