#pragma once
// Maps the operator's port numbers 1-10 to devices: system serial ports in a
// stable order, device paths named on the command line (--port N=PATH), or a
// simulated reader/writer living in this process.

#include "link/PortNumbering.h"
#include "link/Transport.h"

#include <QStringList>
#include <functional>
#include <map>
#include <memory>

namespace msrw {

inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 10;

class PortDirectory {
public:
    using Factory = std::function<std::unique_ptr<Transport>()>;

    // Fills the free ones of ports 1-10 from the serial ports the system
    // lists (PortNumbering.h says which is which) and marks the USB ones.
    void assignSystemPorts();
    void assignSystemPorts(const std::vector<SystemPort>& listed, platform::SystemKind system);
    // Port n is the serial device at `path` (a system port name or a path).
    void setPath(int port, const QString& path);
    // Port n is served in this process (the simulated reader/writer).
    void setInProcess(int port, Factory factory, const QString& description);
    void clear(int port);

    bool has(int port) const;
    QString describe(int port) const; // "" when nothing is there
    // A new, closed transport for port n, or null when nothing is there.
    std::unique_ptr<Transport> create(int port) const;
    // The USB serial ports among 1-10 (used where the program looks for the
    // reader's USB virtual port first).
    std::vector<int> usbPorts() const;
    void markUsb(int port, bool usb);

    // Applies "N=PATH" texts; false with `error` set for a malformed one.
    bool applyOverrides(const QStringList& overrides, QString& error);

private:
    struct Entry {
        QString path;
        Factory factory;
        QString description;
        bool usb = false;
    };
    std::map<int, Entry> entries_;
};

} // namespace msrw
