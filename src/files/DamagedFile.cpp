#include "files/DamagedFile.h"

#include "link/DataFolder.h"

#include <QFile>

namespace msrw {

DamageOutcome KeepDamagedAndReplace(const DataFolder& folder, std::string_view name,
                                    const std::vector<std::string>& lines, const QString& what,
                                    int firstDamagedLine) {
    DamageOutcome outcome;
    const QString path = folder.path(name);
    const QString kept = path + QStringLiteral(".bad");
    QFile::remove(kept);
    // A file that cannot be read cannot be copied, but it can still be kept.
    if (!QFile::copy(path, kept) && !QFile::rename(path, kept)) {
        outcome.message = QStringLiteral("The %1 %2 is damaged (line %3) and could not be kept as "
                                         "%4; the defaults are used for what could not be read, "
                                         "and the file is left as it is.")
                              .arg(what, path)
                              .arg(firstDamagedLine)
                              .arg(kept);
        return outcome;
    }
    QString writeError;
    if (!folder.writeLines(name, lines, writeError)) {
        outcome.message = writeError;
        return outcome;
    }
    outcome.repaired = true;
    outcome.message =
        QStringLiteral("The %1 %2 was damaged from line %3 on: what could not be read now has its "
                       "default value. The damaged file is kept as %4.")
            .arg(what, path)
            .arg(firstDamagedLine)
            .arg(kept);
    return outcome;
}

} // namespace msrw
