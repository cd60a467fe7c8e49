#include "settings/SettingsFile.h"

#include "link/DataFolder.h"
#include "link/MainView.h"
#include "link/OperatorDialogs.h"
#include "link/Session.h"
#include "settings/FormatStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>

namespace msrw {
namespace {

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

// A list position with the sign position kept, as " 0" or " 31".
std::string ListPositionText(int position) {
    return position < 0 ? std::to_string(position) : " " + std::to_string(position);
}

// Replaces the file in one step, never leaving it half-written. Unbuffered,
// so that a short write (a full disk) is seen here: through QSaveFile's
// buffer a truncated file gets committed as if it were whole.
std::vector<std::string> PlainLines(const SettingsRecord& record) {
    std::vector<std::string> lines;
    for (int value : record.entry)
        lines.push_back(std::to_string(value));
    return lines;
}

} // namespace

SettingsRecord DefaultSettingsRecord() {
    return kDefaults;
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
        folder.writeLines(kSettingsFile, PlainLines(kDefaults), report.error);
        return report;
    }
    const std::optional<std::vector<std::string>> lines = folder.readLines(kSettingsFile);
    if (!lines) {
        report.error = QStringLiteral("Could not read %1.").arg(folder.path(kSettingsFile));
        return report;
    }
    for (std::size_t i = 0; i < kSettingsEntries && i < lines->size(); ++i) {
        const std::optional<int> value = ParseSettingLine((*lines)[i]);
        if (!value)
            break;
        record[i] = *value;
        ++report.entriesRead;
    }
    return report;
}

MainWindowSettings MainWindowSettingsOf(const MainView& view) {
    MainWindowSettings main;
    const PortMenuView& menu = view.portMenu;
    if (menu.openChecked && !menu.closeChecked) {
        const auto checked = std::find(menu.portChecked.begin(), menu.portChecked.end(), true);
        if (checked != menu.portChecked.end())
            main.openPort = static_cast<int>(checked - menu.portChecked.begin()) + 1;
    }
    main.cardTypeEnabled = view.isEnabled("cboCardType");
    main.cardTypePosition = view.cardTypes.selected;
    return main;
}

std::vector<std::string> SettingsFileLines(const FormatStore& format,
                                           const MainWindowSettings& main) {
    std::vector<std::string> lines;
    lines.push_back(std::to_string(main.openPort));
    lines.push_back(main.cardTypeEnabled ? ListPositionText(main.cardTypePosition) : " 0");
    lines.push_back(format.txt210Leadz);
    lines.push_back(format.txt75Leadz);
    for (std::size_t entry = kEntryFirstBpi; entry < kEntryLeadz210Pb; ++entry) {
        if (entry == kEntryHiCo)
            lines.push_back(format.chkhico ? " 1" : " 0");
        else
            lines.push_back(ListPositionText(format.listForEntry(entry)->selected));
    }
    lines.push_back(format.txt210Leadz_Pb);
    return lines;
}

std::optional<QString> UnsavableLeadingZeros(const FormatStore& format) {
    for (const LeadingZeroBox& box : format.leadingZeroBoxes()) {
        if (!ParseSettingLine(box.text))
            return QStringLiteral("the leading zeros at %1 (\"%2\") are not a number")
                .arg(QString::fromLatin1(box.name), QString::fromStdString(box.text));
    }
    return std::nullopt;
}

bool SaveSetting(const DataFolder& folder, const FormatStore& format,
                 const MainWindowSettings& main, QString& error) {
    if (const std::optional<QString> problem = UnsavableLeadingZeros(format)) {
        error = QStringLiteral("The settings were not saved: %1.").arg(*problem);
        return false;
    }
    return folder.writeLines(kSettingsFile, SettingsFileLines(format, main), error);
}

bool SaveSetting(Session& session) {
    QString error;
    if (SaveSetting(session.data, session.format, MainWindowSettingsOf(session.view), error))
        return true;
    session.dialogs.showMessage(error.toStdString(), MessageIcon::Warning);
    return false;
}

} // namespace msrw
