#pragma once
// A serial port (real, USB virtual, or a pseudo-terminal opened by its path).

#include "link/Transport.h"

#include <QSerialPort>

namespace msrw {

class SerialTransport : public Transport {
    Q_OBJECT
public:
    explicit SerialTransport(const QString& portNameOrPath, QObject* parent = nullptr);
    ~SerialTransport() override;

    bool open(const SerialSettings& settings, QString& error) override;
    void close() override;
    bool isOpen() const override;
    bool write(const std::string& bytes) override;
    QString describe() const override { return name_; }

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);

    QString name_;
    QSerialPort port_;
};

} // namespace msrw
