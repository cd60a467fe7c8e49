#include "link/SerialTransport.h"

#include "link/PortAccess.h"
#include "platform/PortPresence.h"

#include <QElapsedTimer>

namespace msrw {
namespace {

constexpr int kHangUpCheckMs = 100;
// How long a close waits for queued bytes to reach the wire.
constexpr int kDrainLimitMs = 500;

QSerialPort::Parity ToQtParity(char parity) {
    switch (parity) {
    case 'E':
        return QSerialPort::EvenParity;
    case 'O':
        return QSerialPort::OddParity;
    case 'M':
        return QSerialPort::MarkParity;
    case 'S':
        return QSerialPort::SpaceParity;
    default:
        return QSerialPort::NoParity;
    }
}

QString OpenFailureMessage(const QString& name, const QSerialPort& port) {
    switch (port.error()) {
    case QSerialPort::PermissionError:
        return PortRefusedMessage(name, DeviceAccessOf(DeviceFileOf(name)));
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("Port %1 does not exist.").arg(name);
    default:
        return QStringLiteral("Port %1 could not be opened: %2").arg(name, port.errorString());
    }
}

} // namespace

SerialTransport::SerialTransport(const QString& portNameOrPath, QObject* parent)
    : Transport(parent), name_(portNameOrPath) {
    port_.setPortName(portNameOrPath);
    connect(&port_, &QSerialPort::readyRead, this, &SerialTransport::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialTransport::onError);
    hangUpCheck_.setInterval(kHangUpCheckMs);
    connect(&hangUpCheck_, &QTimer::timeout, this, &SerialTransport::checkHangUp);
}

SerialTransport::~SerialTransport() {
    close();
}

bool SerialTransport::open(const SerialSettings& settings, QString& error) {
    close();
    port_.setBaudRate(settings.baud);
    port_.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits));
    port_.setParity(ToQtParity(settings.parity));
    port_.setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        error = OpenFailureMessage(name_, port_);
        return false;
    }
    // Stale bytes left in the driver would prefix the first reply.
    port_.clear();
    // USB virtual ports may stay silent without DTR; a pseudo-terminal refuses
    // the request, which is harmless.
    port_.setDataTerminalReady(true);
    port_.clearError();
    hangUpCheck_.start();
    return true;
}

void SerialTransport::close() {
    hangUpCheck_.stop();
    ++generation_;
    if (!port_.isOpen())
        return;
    drainWrites();
    port_.close();
}

// Closing discards what the port has not written yet; a command that expects
// no reply (a reset before closing, the last command of a console run) must
// still reach the device.
void SerialTransport::drainWrites() {
    QElapsedTimer waited;
    waited.start();
    while (port_.bytesToWrite() > 0 && waited.elapsed() < kDrainLimitMs) {
        if (!port_.waitForBytesWritten(int(kDrainLimitMs - waited.elapsed())))
            break;
    }
}

void SerialTransport::discardInput() {
    if (!port_.isOpen())
        return;
    port_.readAll();
    port_.clear(QSerialPort::Input);
    ++generation_; // and what was read but not yet reported
}

bool SerialTransport::isOpen() const {
    return port_.isOpen();
}

bool SerialTransport::write(const std::string& bytes) {
    if (!port_.isOpen())
        return false;
    const qint64 n = port_.write(bytes.data(), qint64(bytes.size()));
    return n == qint64(bytes.size());
}

void SerialTransport::onReadyRead() {
    const QByteArray data = port_.readAll();
    if (data.isEmpty())
        return;
    // Reported from the event loop, not from inside readyRead: the port
    // raises no readyRead while one is being handled, so bytes that come
    // while a reply's handler pauses would otherwise reach us only after it.
    QMetaObject::invokeMethod(
        this,
        [this, generation = generation_,
         bytes = std::string(data.constData(), std::size_t(data.size()))] {
            if (generation == generation_ && port_.isOpen())
                emit bytesReceived(bytes);
        },
        Qt::QueuedConnection);
}

void SerialTransport::onError(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ResourceError || !port_.isOpen())
        return;
    reportLost(port_.errorString());
}

void SerialTransport::checkHangUp() {
    if (!port_.isOpen())
        return;
    if (!platform::PortStillThere(port_.handle()))
        reportLost(QStringLiteral("the other end closed it"));
}

void SerialTransport::reportLost(const QString& reason) {
    hangUpCheck_.stop();
    port_.close(); // nothing can be written to a port that is gone
    emit lost(QStringLiteral("The port %1 is no longer available (%2).").arg(name_, reason));
}

} // namespace msrw
