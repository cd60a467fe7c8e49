#include "files/TarnSetupLoad.h"

#include "files/DamagedFile.h"
#include "link/DataFolder.h"

namespace msrw {

TarnSetupLoad LoadTarnSetup(const DataFolder& folder) {
    TarnSetupLoad load;
    QString error;
    if (!folder.exists(kTarnSetupFile)) {
        if (!folder.writeLines(kTarnSetupFile, TarnSetupFileLines(load.values), error))
            load.notice = error;
        return load;
    }
    // A file too large to read is damaged from its first line on.
    const std::optional<std::vector<std::string>> lines = folder.readLines(kTarnSetupFile);
    const TarnSetupCheck check = CheckTarnSetupLines(lines.value_or(std::vector<std::string>{}));
    load.values = check.values;
    if (check.firstDamagedLine == 0)
        return load;
    load.notice = KeepDamagedAndReplace(folder, kTarnSetupFile, TarnSetupFileLines(load.values),
                                        QStringLiteral("Tarn set-up file"), check.firstDamagedLine)
                      .message;
    return load;
}

} // namespace msrw
