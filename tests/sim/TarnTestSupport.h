#pragma once
// A simulated reader/writer switched into the Tarn family, talked to in the
// command-text notation.

#include "SimTestSupport.h"

#include <gtest/gtest.h>

namespace msrw::sim::test {

// STX body ETX check, the check worked out here (XOR of STX..ETX).
inline std::string Framed(std::string_view bodyText) {
    const std::string body = Bytes(bodyText);
    char check = '\x02' ^ '\x03';
    for (const char c : body)
        check = static_cast<char>(check ^ c);
    return "\x02" + body + "\x03" + check;
}

class TarnDevice : public ::testing::Test {
protected:
    void SetUp() override {
        device.receive(Bytes("\\1BToTARN"));
        ASSERT_EQ(device.family(), Family::Tarn);
    }
    // The answer to `commandText`, in display form.
    std::string send(std::string_view commandText) { return sendBytes(Bytes(commandText)); }
    std::string sendBytes(const std::string& bytes) {
        device.receive(bytes);
        return log.take();
    }
    // The answer of the swipe of `card`; empty when nothing was armed.
    std::string swipe(VirtualCard& card) { return device.swipe(card) ? log.take() : std::string(); }
    void writeMemory(std::string_view addressAndValue) {
        ASSERT_EQ(send("\\09\\09\\09"), "^");
        ASSERT_EQ(send("\\41" + std::string(addressAndValue)), "^") << addressAndValue;
        ASSERT_EQ(send("\\40"), "^");
    }

    Device device;
    ReplyLog log{device};
};

} // namespace msrw::sim::test
