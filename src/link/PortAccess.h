#pragma once
// A serial port the system refused: who may use its device file, and the
// message that tells the operator how to get access.

#include <QString>

namespace msrw {

// The group of a device file, and whether that group may read and write it.
struct DeviceAccess {
    QString group; // empty when the file cannot be looked at
    bool groupMayUse = false;
};

// The device file a port stands for: a bare name ("ttyUSB0") is under /dev,
// a path is itself.
QString DeviceFileOf(const QString& portNameOrPath);

DeviceAccess DeviceAccessOf(const QString& deviceFile);

// "Port ... could not be opened: permission denied, or another program is
// using it." and, when joining the device's group would let this user in,
// that group and the command that adds the user to it.
QString PortRefusedMessage(const QString& port, const DeviceAccess& access);

} // namespace msrw
