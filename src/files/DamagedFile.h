#pragma once
// A damaged file the program keeps: it is copied beside itself as
// "<name>.bad" before the repaired contents replace it, so that nothing the
// operator had is lost and the damage is reported once.

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace msrw {

class DataFolder;

struct DamageOutcome {
    bool repaired = false; // kept as ".bad" and replaced by `lines`
    QString message;       // for the operator: what was done, or why not
};

// `what` names the file in the message ("settings file"); `firstDamagedLine`
// is the first line that could not be read (1 on).
DamageOutcome KeepDamagedAndReplace(const DataFolder& folder, std::string_view name,
                                    const std::vector<std::string>& lines, const QString& what,
                                    int firstDamagedLine);

} // namespace msrw
