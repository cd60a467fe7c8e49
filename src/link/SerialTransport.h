#pragma once
// A serial port (real, USB virtual, or a pseudo-terminal opened by its path).

#include "link/Transport.h"

#include <QSerialPort>
#include <QTimer>

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
    void discardInput() override;
    QString describe() const override { return name_; }

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);
    // A pseudo-terminal whose other end closed reads end-of-file for ever and
    // raises no error: the hang-up is seen by looking at the descriptor.
    void checkHangUp();
    void reportLost(const QString& reason);
    void drainWrites();

    QString name_;
    QSerialPort port_;
    QTimer hangUpCheck_;
    unsigned generation_ = 0; // bytes read before a close or a discard are dropped
};

} // namespace msrw
