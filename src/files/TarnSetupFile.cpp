#include "files/TarnSetupFile.h"

#include <algorithm>
#include <charconv>

namespace msrw {
namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A whole number from 0 to `most`, digits only.
bool IsCount(std::string_view text, int most) {
    int value = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && text.front() != '-' && ec == std::errc() &&
           end == text.data() + text.size() && value <= most;
}

bool IsFlag(std::string_view text) {
    return TarnFlagValue(text) || text == "0" || text == "False" || text == "false" ||
           text == "FALSE";
}

// Whether `text` is a value the line `index` can hold.
bool IsValueOfLine(std::size_t index, std::string_view text) {
    constexpr int kMostLeadingZeroBytes = 255;
    constexpr int kLastCharacterSize = 2; // 0 7 bits, 1 6 bits, 2 5 bits
    constexpr int kLastDensity = 1;       // 0 210 BPI, 1 75 BPI
    if (index < 3)
        return IsCount(text, kMostLeadingZeroBytes);
    if (index < 6)
        return IsCount(text, kLastCharacterSize);
    if (index < 9)
        return IsCount(text, kLastDensity);
    return IsFlag(text);
}

} // namespace

TarnSetupCheck CheckTarnSetupLines(const std::vector<std::string>& lines) {
    TarnSetupCheck check;
    const TarnSetupLines defaults = DefaultTarnSetup();
    for (std::size_t i = 0; i < check.values.size(); ++i) {
        const std::string_view value = i < lines.size() ? Trimmed(lines[i]) : std::string_view{};
        const bool good = i < lines.size() && IsValueOfLine(i, value);
        check.values[i] = good ? std::string(value) : defaults[i];
        if (!good && check.firstDamagedLine == 0)
            check.firstDamagedLine = static_cast<int>(i) + 1;
    }
    return check;
}

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
