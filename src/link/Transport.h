#pragma once
// A byte pipe to one device: a serial port, or the simulated reader/writer
// in this process. Received bytes are reported in whatever pieces they come.

#include <QObject>
#include <QString>
#include <string>

namespace msrw {

// Serial line parameters, parsed from the settings texts the program passes
// ("9600N,8,1", "9600,o , 7, 1", ...).
struct SerialSettings {
    int baud = 9600;
    char parity = 'N'; // N, E, O, M or S
    int dataBits = 8;
    int stopBits = 1;

    bool operator==(const SerialSettings&) const = default;
};

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
