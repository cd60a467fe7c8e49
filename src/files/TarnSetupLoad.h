#pragma once
// Loading the Tarn set-up file from the data folder, repairing a damaged one.

#include "files/TarnSetupFile.h"

#include <QString>

namespace msrw {

class DataFolder;

struct TarnSetupLoad {
    TarnSetupLines values = DefaultTarnSetup();
    QString notice; // what the operator is told: the file repaired, or why it could not be
};
// Reads the set-up file of `folder` as the settings record is read: a
// missing file is written with the defaults; a damaged one (a line that is
// not a value of its key, too few lines, or a file too large to be one) is
// kept as "tarnsetup.stp.bad" and replaced by what could be read, with the
// defaults for the rest.
[[nodiscard]] TarnSetupLoad LoadTarnSetup(const DataFolder& folder);

} // namespace msrw
