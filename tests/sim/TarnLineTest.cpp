// The serial format of the Tarn family's set-up memory, seen through the
// in-process port: a port set otherwise gets garbled answers, and what it
// sends is not understood.

#include "SimTestSupport.h"
#include "sim/ports/SimTransport.h"

#include <gtest/gtest.h>

namespace msrw::sim::test {
namespace {

const SerialSettings kEscapeLineSettings{9600, 'N', 8, 1};
const SerialSettings kPowerOnTarnLine{9600, 'S', 7, 1}; // serial format 19
const SerialSettings kOddLine{9600, 'O', 7, 1};         // serial format 01

class TarnLine : public ::testing::Test {
protected:
    void SetUp() override {
        QObject::connect(&port, &msrw::Transport::bytesReceived,
                         [this](const std::string& bytes) { received += bytes; });
        openAt(kEscapeLineSettings);
    }
    void openAt(const SerialSettings& settings) {
        port.close();
        QString error;
        ASSERT_TRUE(port.open(settings, error)) << error.toStdString();
    }
    // What comes back for `commandText`, raw.
    std::string exchange(std::string_view commandText, std::size_t expected) {
        received.clear();
        EXPECT_TRUE(port.write(Bytes(commandText)));
        WaitUntil([&] { return received.size() >= expected; }, 1000);
        RunEventLoopFor(10);
        return received;
    }
    std::string banner() const { return device->banner() + '\r'; }

    std::shared_ptr<Device> device = std::make_shared<Device>();
    SimTransport port{device};
    std::string received;
};

std::string TopBitsSet(std::string bytes) {
    for (char& byte : bytes)
        byte = static_cast<char>(static_cast<unsigned char>(byte) | 0x80);
    return bytes;
}

TEST_F(TarnLine, SwitchedOverTheEscapeLineTheFamilyAnswersOnItUntilAFormatIsWritten) {
    EXPECT_TRUE(port.write(Bytes("\\1BToTARN")));
    EXPECT_EQ(exchange("\\39", banner().size()), banner());
    openAt(kPowerOnTarnLine);
    EXPECT_EQ(exchange("\\39", banner().size()), banner()) << "and on its own format";
    EXPECT_EQ(exchange("\\09\\09\\09\\41\\30\\33\\30\\31\\51\\30\\33", 4), "^^01");
    EXPECT_EQ(exchange("\\40", 1), "^") << "the close is answered on the old line";
    EXPECT_EQ(exchange("\\39", banner().size()), TopBitsSet(banner()));
    openAt(kEscapeLineSettings);
    EXPECT_EQ(exchange("\\39", banner().size()), TopBitsSet(banner()));
    openAt(kOddLine);
    EXPECT_EQ(exchange("\\39", banner().size()), banner());
}

TEST_F(TarnLine, WhatIsSentOnAnotherLineIsNotUnderstood) {
    device->setFamily(Family::Tarn);
    openAt(kOddLine);
    EXPECT_EQ(exchange("\\09\\09\\09\\41\\30\\35\\34\\32\\40", 3), TopBitsSet("^^^"));
    EXPECT_EQ(device->tarn().memory(0x05), 0xFF) << "answered, but nothing done";
    EXPECT_EQ(exchange("\\50", 0), "");
    EXPECT_FALSE(device->isArmed());
    EXPECT_TRUE(port.write("ToVELK"));
    EXPECT_EQ(device->family(), Family::Tarn);
    openAt(kPowerOnTarnLine);
    EXPECT_EQ(exchange("\\09\\09\\09\\41\\30\\35\\34\\32\\40", 3), "^^^");
    EXPECT_EQ(device->tarn().memory(0x05), 0x42);
}

TEST_F(TarnLine, TheEscapeFamilyIsNotGarbled) {
    openAt(kOddLine);
    EXPECT_EQ(exchange("\\1Be", 2), "\x1By");
}

TEST_F(TarnLine, ASerialFormatThatNamesNoLineLeavesTheLineAsItWas) {
    device->setFamily(Family::Tarn);
    openAt(kPowerOnTarnLine);
    EXPECT_EQ(exchange("\\09\\09\\09\\41\\30\\33\\30\\37\\40", 3), "^^^"); // baud code 7
    EXPECT_EQ(exchange("\\39", banner().size()), banner());
    const std::vector<std::pair<std::uint8_t, LineFormat>> formats{{0x00, {19200, 'O', 7, 1}},
                                                                   {0x0A, {4800, 'E', 7, 1}},
                                                                   {0x13, {2400, 'M', 7, 1}},
                                                                   {0x1C, {1200, 'S', 7, 1}}};
    for (const auto& [code, line] : formats)
        EXPECT_EQ(LineFormatOf(code), line) << int(code);
    EXPECT_EQ(LineFormatOf(0x05), std::nullopt);
    EXPECT_EQ(LineFormatOf(0x21), std::nullopt);
}

} // namespace
} // namespace msrw::sim::test
