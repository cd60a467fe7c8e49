#pragma once
// A byte pipe to one device: a serial port, or the simulated reader/writer
// in this process. Received bytes are reported in whatever pieces they come.

#include "link/SerialSettings.h"

#include <QObject>
#include <QString>
#include <string>

namespace msrw {

class Transport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Transport() override = default;

    // Opens the device; on failure returns false and sets `error` to a
    // message for the operator.
    virtual bool open(const SerialSettings& settings, QString& error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Queues bytes for sending; false when the device cannot take them.
    virtual bool write(const std::string& bytes) = 0;
    // Drops what has arrived and not been reported yet.
    virtual void discardInput() {}
    // A name for messages ("/dev/ttyUSB0", "simulated reader/writer").
    virtual QString describe() const = 0;

signals:
    void bytesReceived(const std::string& bytes);
    // The device went away (unplugged, other end closed). The transport is
    // closed when this is raised.
    void lost(const QString& reason);
};

} // namespace msrw
