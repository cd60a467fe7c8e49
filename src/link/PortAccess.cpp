#include "link/PortAccess.h"

#include <QFileInfo>

namespace msrw {

QString DeviceFileOf(const QString& portNameOrPath) {
    if (portNameOrPath.startsWith('/') || portNameOrPath.startsWith("./") ||
        portNameOrPath.startsWith("../"))
        return portNameOrPath;
    return QStringLiteral("/dev/") + portNameOrPath;
}

DeviceAccess DeviceAccessOf(const QString& deviceFile) {
    const QFileInfo info(deviceFile);
    if (!info.exists())
        return {};
    const QFile::Permissions both = QFile::ReadGroup | QFile::WriteGroup;
    return {info.group(), (info.permissions() & both) == both};
}

QString PortRefusedMessage(const QString& port, const DeviceAccess& access) {
    QString text =
        QStringLiteral("Port %1 could not be opened: permission denied, or another program is "
                       "using it.")
            .arg(port);
    // Joining root's group is no remedy to offer; a group that may not read
    // and write the device gives nothing either.
    if (access.group.isEmpty() || access.group == "root" || !access.groupMayUse)
        return text + QStringLiteral(" If no other program is, ask the administrator of this "
                                     "computer for access to the device.");
    return text + QStringLiteral(" The device is open to the group \"%1\": to join it, run "
                                 "\"sudo usermod -aG %1 $USER\" and log in again.")
                      .arg(access.group);
}

} // namespace msrw
