#pragma once
// Whether a standard stream is a terminal (a console window on Windows), so
// that progress shown in place goes only where someone watches.

namespace msrw::platform {

enum class StandardStream { Input, Output, Error };

bool IsTerminal(StandardStream stream);

} // namespace msrw::platform
