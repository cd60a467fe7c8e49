#include "files/HistoryFile.h"

#include <charconv>

namespace msrw::history {
namespace {

bool Blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string WithSuffix(const std::string& name, std::size_t cut, const char* suffix) {
    return (name.size() >= cut ? name.substr(0, name.size() - cut) : std::string()) + suffix;
}

} // namespace

std::optional<std::int64_t> ParseRecordNumber(std::string_view text) {
    while (!text.empty() && Blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && Blank(text.back()))
        text.remove_suffix(1);
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 1)
        return std::nullopt;
    return value;
}

std::string RecordNumberText(std::int64_t number) {
    return std::to_string(number) + "\r\n";
}

std::string HistoryFileName(const std::string& usageFile) {
    return WithSuffix(usageFile, 4, ".his");
}

std::string DatabaseFileName(const std::string& usageFile) {
    return WithSuffix(usageFile, 3, "csv");
}

} // namespace msrw::history
