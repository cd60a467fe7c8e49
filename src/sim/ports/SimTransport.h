#pragma once
// The simulated reader/writer as a transport in this process. Many transports
// may share one device (one per port number that shows it); one at a time
// holds it open. Replies arrive from the event loop, never inside write().

#include "link/Transport.h"
#include "sim/Device.h"

#include <functional>
#include <memory>

namespace msrw::sim {

class SimTransport : public msrw::Transport {
    Q_OBJECT
public:
    explicit SimTransport(std::shared_ptr<Device> device, QObject* parent = nullptr);
    ~SimTransport() override;

    bool open(const SerialSettings& settings, QString& error) override;
    void close() override;
    bool isOpen() const override { return open_ && device_->isPresent(); }
    bool write(const std::string& bytes) override;
    void discardInput() override;
    QString describe() const override;

    const std::shared_ptr<Device>& device() const { return device_; }

    // A factory for the port directory: each call makes a closed transport on
    // the same device.
    static std::function<std::unique_ptr<msrw::Transport>()>
    Factory(std::shared_ptr<Device> device);

    // The device speaks the Tarn family on another line than the port's:
    // what either side sends arrives garbled.
    bool garbles() const;

private:
    void deliver(const std::string& reply);
    void onPresenceChanged(bool present);

    std::shared_ptr<Device> device_;
    bool open_ = false;
    msrw::SerialSettings settings_;
    // While write() runs, whether its answers go back garbled: decided before
    // the command, which may move the device to another line.
    bool writing_ = false;
    bool writeGarbles_ = false;
    // Bumped on close, so replies queued before it are not delivered after.
    unsigned session_ = 0;
    QMetaObject::Connection replyConnection_;
};

} // namespace msrw::sim
