#include "platform/PortPresence.h"

#include <windows.h>

namespace msrw::platform {

// A port whose device went away (a USB adapter pulled out) fails its own
// error report.
bool PortStillThere(PortHandle handle) {
    DWORD errors = 0;
    COMSTAT status{};
    return ::ClearCommError(static_cast<HANDLE>(handle), &errors, &status) != 0;
}

} // namespace msrw::platform
