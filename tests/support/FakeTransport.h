#pragma once
// A scripted device for link tests: answers known commands with fixed bytes,
// delivered from the event loop in pieces of a chosen size.

#include "link/Transport.h"

#include <QTimer>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace msrw::test {

struct FakeDevice {
    std::map<std::string, std::string> answers; // command bytes -> reply bytes
    std::vector<std::string> received;
    std::size_t pieceSize = 0; // 0: the whole reply at once
    bool present = true;
    class FakeTransport* open = nullptr;
};

class FakeTransport : public Transport {
public:
    explicit FakeTransport(std::shared_ptr<FakeDevice> device) : device_(std::move(device)) {}
    ~FakeTransport() override { close(); }

    bool open(const SerialSettings&, QString& error) override {
        if (!device_->present) {
            error = "absent";
            return false;
        }
        open_ = true;
        device_->open = this;
        return true;
    }
    void close() override {
        open_ = false;
        if (device_->open == this)
            device_->open = nullptr;
    }
    bool isOpen() const override { return open_; }
    QString describe() const override { return "fake"; }

    bool write(const std::string& bytes) override {
        device_->received.push_back(bytes);
        auto it = device_->answers.find(bytes);
        if (it != device_->answers.end())
            push(it->second);
        return true;
    }

    // Delivers bytes from the event loop, as a port would.
    void push(const std::string& bytes) {
        const std::size_t step = device_->pieceSize ? device_->pieceSize : bytes.size();
        for (std::size_t i = 0; i < bytes.size(); i += step) {
            const std::string piece = bytes.substr(i, step);
            QTimer::singleShot(0, this, [this, piece, generation = generation_] {
                if (open_ && generation == generation_)
                    emit bytesReceived(piece);
            });
        }
    }
    void discardInput() override { ++generation_; }
    void vanish() {
        open_ = false;
        emit lost("The port fake is no longer available.");
    }

private:
    std::shared_ptr<FakeDevice> device_;
    bool open_ = false;
    unsigned generation_ = 0; // what was pushed before a discard is dropped
};

} // namespace msrw::test
