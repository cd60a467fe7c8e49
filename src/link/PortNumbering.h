#pragma once
// Which of the system's serial ports are the operator's ports 1-10. On
// Windows operators know their reader by its COM port: port N is COMN, and a
// port above COM10 is reached only by naming it (--port N=COM12). Elsewhere
// the listed ports take 1-10 in a stable order (ttyS2 before ttyS10). Plain
// C++, so that it is checked on every system.

#include "platform/System.h"

#include <string>
#include <vector>

namespace msrw {

struct SystemPort {
    std::string name; // as the system lists it: "COM3", "ttyUSB0"
    bool usb = false;
};

struct OperatorPort {
    int number = 0; // 1-10
    std::string name;
    bool usb = false;
};

// The operator's ports among `listed`, by rising number.
std::vector<OperatorPort> OperatorPorts(const std::vector<SystemPort>& listed,
                                        platform::SystemKind system);

} // namespace msrw
