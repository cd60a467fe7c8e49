#include "link/PortDirectory.h"

#include "link/SerialTransport.h"

#include <QSerialPortInfo>
#include <algorithm>

namespace msrw {

void PortDirectory::assignSystemPorts() {
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        names << info.portName();
    assignSystemPorts(names);
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (!info.hasVendorIdentifier())
            continue;
        for (auto& [port, entry] : entries_) {
            if (entry.path == info.portName())
                entry.usb = true;
        }
    }
}

void PortDirectory::assignSystemPorts(const QStringList& systemPortNames) {
    QStringList names = systemPortNames;
    // A stable order: COM2 before COM10, ttyS2 before ttyS10.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        auto split = [](const QString& s) {
            int i = int(s.size());
            while (i > 0 && s[i - 1].isDigit())
                --i;
            return std::pair{s.left(i), s.mid(i).toInt()};
        };
        return split(a) < split(b);
    });
    int port = kFirstPort;
    for (const QString& name : names) {
        if (port > kLastPort)
            break;
        if (!has(port))
            setPath(port, name);
        ++port;
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
