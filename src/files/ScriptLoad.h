#pragma once
// Loading a script file: read with a bound, then parsed.

#include "files/ScriptFile.h"

#include <QString>
#include <string>
#include <vector>

namespace msrw {

struct ScriptLoad {
    std::vector<ScriptStep> steps;
    std::string error; // empty when the steps were read; else why not, naming the file
};

// Reads and parses a script file, reading no more than kMaxScriptBytes (a
// device file reports no size, so the bound is kept while reading). A file
// that cannot be read, is too large, or holds no command gives an error.
ScriptLoad LoadScriptFile(const QString& path);

} // namespace msrw
