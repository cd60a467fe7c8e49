#include "session/SettingsSave.h"

#include "files/SettingsFile.h"
#include "link/DataFolder.h"
#include "link/OperatorDialogs.h"
#include "session/FormatStore.h"
#include "session/MainView.h"
#include "session/Session.h"

#include <algorithm>

namespace msrw {

MainWindowSettings MainWindowSettingsOf(const MainView& view) {
    MainWindowSettings main;
    const PortMenuView& menu = view.portMenu;
    if (menu.openChecked && !menu.closeChecked) {
        const auto checked = std::find(menu.portChecked.begin(), menu.portChecked.end(), true);
        if (checked != menu.portChecked.end())
            main.openPort = static_cast<int>(checked - menu.portChecked.begin()) + 1;
    }
    main.cardTypeEnabled = view.isEnabled(Control::cboCardType);
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

void LoadSetting(Session& session) {
    const LoadReport report = LoadSetting(session.data, session.record);
    if (!report.error.isEmpty())
        session.dialogs.showMessage(report.error.toStdString(), MessageIcon::Warning);
    else if (!report.damageNotice.isEmpty())
        session.dialogs.showMessage(report.damageNotice.toStdString(), MessageIcon::Warning);
}

} // namespace msrw
