#pragma once
// Which modes offer each console verb: those whose window enables the verb's
// button, so that the console runs no operation the window would not.

#include "console/CardRunOptions.h"
#include "protocol/MsrwMode.h"

#include <string>

namespace msrw::console {

// Why `verb` is refused in `mode`, naming the modes that offer it; "" when
// the mode offers it.
std::string VerbNotOffered(MsrwMode mode, Verb verb);

} // namespace msrw::console
