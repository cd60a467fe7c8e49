#include "link/PortDirectory.h"

#include "link/SerialTransport.h"

#include <QSerialPortInfo>

namespace msrw {

void PortDirectory::assignSystemPorts() {
    std::vector<SystemPort> listed;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        listed.push_back({info.portName().toStdString(), info.hasVendorIdentifier()});
    assignSystemPorts(listed, platform::kThisSystem);
}

void PortDirectory::assignSystemPorts(const std::vector<SystemPort>& listed,
                                      platform::SystemKind system) {
    for (const OperatorPort& port : OperatorPorts(listed, system)) {
        if (!has(port.number))
            setPath(port.number, QString::fromStdString(port.name));
    }
    // A port named on the command line is marked too when it is a USB port.
    for (const SystemPort& port : listed) {
        if (!port.usb)
            continue;
        for (auto& [number, entry] : entries_) {
            if (entry.path.toStdString() == port.name)
                entry.usb = true;
        }
    }
}

void PortDirectory::setPath(int port, const QString& path) {
    entries_[port] = Entry{path, {}, path, false};
}

void PortDirectory::setInProcess(int port, Factory factory, const QString& description) {
    entries_[port] = Entry{{}, std::move(factory), description, false};
}

void PortDirectory::clear(int port) {
    entries_.erase(port);
}

bool PortDirectory::has(int port) const {
    return entries_.count(port) != 0;
}

QString PortDirectory::describe(int port) const {
    auto it = entries_.find(port);
    return it == entries_.end() ? QString() : it->second.description;
}

std::unique_ptr<Transport> PortDirectory::create(int port) const {
    auto it = entries_.find(port);
    if (it == entries_.end())
        return nullptr;
    if (it->second.factory)
        return it->second.factory();
    return std::make_unique<SerialTransport>(it->second.path);
}

std::vector<int> PortDirectory::usbPorts() const {
    std::vector<int> out;
    for (const auto& [port, entry] : entries_) {
        if (entry.usb)
            out.push_back(port);
    }
    return out;
}

void PortDirectory::markUsb(int port, bool usb) {
    auto it = entries_.find(port);
    if (it != entries_.end())
        it->second.usb = usb;
}

bool PortDirectory::applyOverrides(const QStringList& overrides, QString& error) {
    for (const QString& text : overrides) {
        const qsizetype eq = text.indexOf('=');
        bool ok = false;
        const int port = eq > 0 ? text.left(eq).toInt(&ok) : 0;
        const QString path = eq > 0 ? text.mid(eq + 1) : QString();
        if (!ok || port < kFirstPort || port > kLastPort || path.isEmpty()) {
            error = QStringLiteral("Bad port option \"%1\": expected N=PATH with N from 1 to 10.")
                        .arg(text);
            return false;
        }
        setPath(port, path);
    }
    return true;
}

} // namespace msrw
