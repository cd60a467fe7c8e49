#include "files/SettingsFile.h"

#include "files/DamagedFile.h"
#include "link/DataFolder.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <utility>

namespace msrw {
namespace {

// No entry of the record needs a longer line, surrounding spaces and all.
constexpr std::size_t kMaxSettingLineBytes = 256;

constexpr SettingsRecord kDefaults{{0,  0, 61, 22, 0, 1, 0, 0,               // port .. coercivity
                                    0,  1, 2,  31, 2, 1, 5, 15, 2, 1, 5, 15, // USER tracks
                                    1,  0, 0,  1,  0, 0, 1, 0,  0,           // Pass Book tracks
                                    111}};

std::string_view TrimSpaces(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string> PlainLines(const SettingsRecord& record) {
    std::vector<std::string> lines;
    for (int value : record.entry)
        lines.push_back(std::to_string(value));
    return lines;
}

// The damaged file is kept beside the settings file before the repaired
// record replaces it, so that nothing the operator had is lost and the damage
// is reported once.
void KeepDamagedAndRepair(const DataFolder& folder, const SettingsRecord& record,
                          LoadReport& report) {
    DamageOutcome outcome =
        KeepDamagedAndReplace(folder, kSettingsFile, PlainLines(record),
                              QStringLiteral("settings file"), report.firstDamagedLine);
    if (!outcome.repaired) {
        report.error = std::move(outcome.message);
        return;
    }
    const bool onlyTooLong = report.firstDamagedLine > int(kSettingsEntries);
    report.damageNotice =
        onlyTooLong ? QStringLiteral("The settings file %1 went on after its %2 lines (from "
                                     "line %3 on): only they are kept. The file as it was is "
                                     "kept as %4.")
                          .arg(folder.path(kSettingsFile))
                          .arg(kSettingsEntries)
                          .arg(report.firstDamagedLine)
                          .arg(folder.path(kSettingsFile) + QStringLiteral(".bad"))
                    : std::move(outcome.message);
}

} // namespace

std::string ListPositionText(int position) {
    return position < 0 ? std::to_string(position) : " " + std::to_string(position);
}

SettingsRecord DefaultSettingsRecord() {
    return kDefaults;
}

bool IsDefaultFormat(const SettingsRecord& record, bool withPassBook) {
    std::vector<std::size_t> entries{kEntryLeadz210, kEntryLeadz75, EntryBpi(1), EntryBpi(2),
                                     EntryBpi(3)};
    if (withPassBook) {
        for (int track = 1; track <= 3; ++track)
            entries.push_back(EntryPassBook(track, kPassBookSyncZerosField));
        entries.push_back(kEntryLeadz210Pb);
    }
    for (std::size_t entry : entries)
        if (record[entry] != kDefaults[entry])
            return false;
    return true;
}

std::optional<int> ParseSettingLine(std::string_view line) {
    std::string_view text = TrimSpaces(line);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    int magnitude = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    const int value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return value;
}

LoadReport LoadSetting(const DataFolder& folder, SettingsRecord& record) {
    LoadReport report;
    if (!folder.exists(kSettingsFile)) {
        record = kDefaults;
        report.createdDefaults = true;
        // A failed write is in report.error; the run goes on with the defaults.
        (void)folder.writeLines(kSettingsFile, PlainLines(kDefaults), report.error);
        return report;
    }
    // Lines 1-30 are the record, whatever the file's size; a longer line is no number.
    const std::optional<DataFolder::Head> head =
        folder.readHead(kSettingsFile, kSettingsEntries, kMaxSettingLineBytes);
    if (!head) {
        // Unreadable: the defaults are used, and the file is kept before they replace it.
        record = kDefaults;
        report.firstDamagedLine = 1;
        KeepDamagedAndRepair(folder, record, report);
        return report;
    }
    const std::vector<std::string>& lines = head->lines;
    for (std::size_t i = 0; i < kSettingsEntries; ++i) {
        const std::optional<int> value = i < lines.size() && lines[i].size() <= kMaxSettingLineBytes
                                             ? ParseSettingLine(lines[i])
                                             : std::nullopt;
        record[i] = value.value_or(kDefaults[i]);
        if (value)
            ++report.entriesRead;
        else if (report.firstDamagedLine == 0)
            report.firstDamagedLine = static_cast<int>(i) + 1;
    }
    // Whatever follows the record is no part of it: the file is kept before
    // the record alone replaces it.
    if (report.firstDamagedLine == 0 && head->more)
        report.firstDamagedLine = static_cast<int>(kSettingsEntries) + 1;
    if (report.firstDamagedLine != 0)
        KeepDamagedAndRepair(folder, record, report);
    return report;
}

} // namespace msrw
