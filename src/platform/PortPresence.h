#pragma once
// Whether an open serial port is still there: a USB adapter pulled out or a
// pseudo-terminal whose other end closed leaves the port open but dead.

namespace msrw::platform {

// The system's handle of an open port (what QSerialPort::handle() gives).
#ifdef _WIN32
using PortHandle = void*;
#else
using PortHandle = int;
#endif

// False once the system reports the port gone (hung up or in error).
bool PortStillThere(PortHandle handle);

} // namespace msrw::platform
