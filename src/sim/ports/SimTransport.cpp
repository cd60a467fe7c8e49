#include "sim/ports/SimTransport.h"

#include <cctype>

namespace {

msrw::sim::LineFormat LineOf(const msrw::SerialSettings& port) {
    const auto parity = static_cast<char>(std::toupper(static_cast<unsigned char>(port.parity)));
    return {port.baud, parity, port.dataBits, port.stopBits};
}

// A byte sent at another parity and size arrives with its top bit set.
std::string Garbled(std::string bytes) {
    for (char& byte : bytes)
        byte = static_cast<char>(byte | '\x80');
    return bytes;
}

} // namespace

namespace msrw::sim {

SimTransport::SimTransport(std::shared_ptr<Device> device, QObject* parent)
    : Transport(parent), device_(std::move(device)) {
    connect(device_.get(), &Device::presenceChanged, this, &SimTransport::onPresenceChanged);
}

SimTransport::~SimTransport() {
    close();
}

bool SimTransport::open(const SerialSettings& settings, QString& error) {
    if (open_)
        return true;
    if (!device_->isPresent()) {
        error = QStringLiteral("The simulated reader/writer is not connected.");
        return false;
    }
    if (!device_->claim(this)) {
        error = QStringLiteral("The simulated reader/writer is in use by another port.");
        return false;
    }
    open_ = true;
    settings_ = settings;
    replyConnection_ = connect(device_.get(), &Device::reply, this, &SimTransport::deliver);
    return true;
}

void SimTransport::close() {
    if (!open_)
        return;
    open_ = false;
    ++session_;
    disconnect(replyConnection_);
    device_->release(this);
}

bool SimTransport::write(const std::string& bytes) {
    if (!isOpen())
        return false;
    writeGarbles_ = garbles();
    writing_ = true;
    if (writeGarbles_)
        device_->receiveGarbled(bytes);
    else
        device_->receive(bytes);
    writing_ = false;
    return true;
}

bool SimTransport::garbles() const {
    return !device_->listensAt(LineOf(settings_));
}

void SimTransport::discardInput() {
    ++session_; // pieces already on their way are dropped on arrival
}

QString SimTransport::describe() const {
    return QStringLiteral("simulated reader/writer");
}

void SimTransport::deliver(const std::string& reply) {
    const unsigned session = session_;
    const bool garbled = writing_ ? writeGarbles_ : garbles();
    for (const std::string& piece :
         ShapeReply(device_->faults(), garbled ? Garbled(reply) : reply)) {
        QMetaObject::invokeMethod(
            this,
            [this, piece, session] {
                if (open_ && session == session_)
                    emit bytesReceived(piece);
            },
            Qt::QueuedConnection);
    }
}

void SimTransport::onPresenceChanged(bool present) {
    if (present || !open_)
        return;
    // Closed from the event loop, after the replies already on their way: the
    // device may vanish in the middle of write().
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!open_)
                return;
            close();
            emit lost(QStringLiteral("The simulated reader/writer was disconnected."));
        },
        Qt::QueuedConnection);
}

std::function<std::unique_ptr<msrw::Transport>()>
SimTransport::Factory(std::shared_ptr<Device> device) {
    return [device] { return std::make_unique<SimTransport>(device); };
}

} // namespace msrw::sim
