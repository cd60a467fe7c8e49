#pragma once
// Wraps a transport and records every command that reaches the device.

#include "link/Transport.h"

#include <memory>
#include <string>
#include <vector>

namespace msrw::test {

class RecordingTransport : public Transport {
public:
    RecordingTransport(std::unique_ptr<Transport> inner, std::vector<std::string>& log)
        : inner_(std::move(inner)), log_(log) {
        connect(inner_.get(), &Transport::bytesReceived, this, &Transport::bytesReceived);
        connect(inner_.get(), &Transport::lost, this, &Transport::lost);
    }
    bool open(const SerialSettings& settings, QString& error) override {
        return inner_->open(settings, error);
    }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    bool write(const std::string& bytes) override {
        log_.push_back(bytes);
        return inner_->write(bytes);
    }
    QString describe() const override { return inner_->describe(); }

private:
    std::unique_ptr<Transport> inner_;
    std::vector<std::string>& log_;
};

} // namespace msrw::test
