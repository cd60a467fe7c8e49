#include "SimTestSupport.h"

#include <gtest/gtest.h>

namespace msrw::sim::test {
namespace {

struct Exchange {
    const char* command; // command text
    const char* reply;   // display form
};

// Each exchange runs on a fresh device, fed whole and then one byte at a time.
class SettingExchange : public ::testing::TestWithParam<Exchange> {};

TEST_P(SettingExchange, AnswersAsTheDeviceDoes) {
    for (const bool slowLine : {false, true}) {
        Device device;
        ReplyLog log(device);
        const std::string bytes = Bytes(GetParam().command);
        slowLine ? FeedByteByByte(device, bytes) : device.receive(bytes);
        EXPECT_EQ(log.text(), GetParam().reply) << GetParam().command;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, SettingExchange,
    ::testing::Values(
        Exchange{"\\1Be", "\\1By"}, Exchange{"\\1Bv", "Velk Reader/Writer Version 4.0 Sim\\0D"},
        Exchange{"\\39", "\\1B4"}, Exchange{"\\1Bd", "\\1BH"}, Exchange{"\\1By\\1Bd", "\\1B0\\1BL"},
        Exchange{"\\1Bt", "\\1B3"}, Exchange{"\\1Bs\\35\\1Bt", "\\1B5"},
        Exchange{"\\1Bs\\34\\1Bt", "\\1B3"}, Exchange{"\\1Bh\\3F\\1Bi", "\\1B0\\1B?"},
        Exchange{"\\1B\\6F\\07\\05\\07", "\\1B0\\07\\05\\07"},
        Exchange{"\\1B\\6F\\08\\08\\08", "\\1B0\\08\\08\\08"},
        Exchange{"\\1B\\6F\\07\\09\\07", "\\1B1"}, Exchange{"\\1B\\6F\\03\\05\\05", "\\1B1"},
        Exchange{"\\1Bf\\D2", "\\1B0"}, Exchange{"\\1Bb\\4B", "\\1B0"},
        Exchange{"\\1Bg\\4C", "\\1B1"}, Exchange{"\\1Bz\\3D\\16", "\\1B0"}, Exchange{"\\1Ba", ""},
        Exchange{"\\1B\\4A\\46\\4B", ""}, Exchange{"\\1Bq", ""}, Exchange{"\\1Bc\\38", "\\1B1"},
        Exchange{"\\1Bc\\30", "\\1B1"}, Exchange{"\\1Bw\\1Bx", "\\1B1\\1B0"}));

TEST(DeviceCommands, SettingsCommandsChangeTheDeviceState) {
    Device device;
    device.receive(Bytes("\\1B\\6F\\06\\04\\07\\1Bf\\4B\\1Bb\\D2\\1Bz\\05\\16\\1By"));
    const DeviceSettings& s = device.settings();
    EXPECT_EQ(s.bitsPerChar, (std::array<int, 3>{6, 4, 7}));
    EXPECT_EQ(s.density, (std::array<int, 3>{75, 210, 210}));
    EXPECT_EQ(s.leadingZerosOf(0), 22u);
    EXPECT_EQ(s.leadingZerosOf(1), 5u);
    EXPECT_EQ(s.coercivity, Coercivity::Low);
    device.receive(Bytes("\\1B\\6F\\07\\00\\07"));
    EXPECT_EQ(s.bitsPerChar, (std::array<int, 3>{6, 4, 7})) << "a refused setting changes nothing";
}

TEST(DeviceCommands, CardCommandsWaitForASwipeAndArmForOneSwipeOnly) {
    Device device;
    ReplyLog log(device);
    VirtualCard card;
    device.receive(Bytes("\\1Br"));
    EXPECT_TRUE(device.isArmed());
    EXPECT_EQ(log.count(), 0);
    EXPECT_TRUE(device.swipe(card));
    EXPECT_EQ(log.take(), "\\1B\\01\\1B+\\1B\\02\\1B+\\1B\\03\\1B+?\\1C\\1B0");
    EXPECT_FALSE(device.swipe(card));
    EXPECT_EQ(log.count(), 0);

    device.receive(Bytes("\\1Bm\\1Ba"));
    EXPECT_FALSE(device.swipe(card)) << "ESC a returns to idle";
}

TEST(DeviceCommands, LengthBytesDelimitRawBlocksWhateverTheirData) {
    // Track 1 data holds 3F 1C (the closing pair) and 1B 02 (a block start).
    const std::string write = Bytes("\\1Bn\\1Bs\\1B\\01\\07\\81\\3F\\1C\\1B\\02\\1B\\00"
                                    "\\1B\\02\\00\\1B\\03\\03\\C3\\3C\\00\\3F\\1C");
    Device device;
    ReplyLog log(device);
    VirtualCard card;
    FeedByteByByte(device, write);
    EXPECT_EQ(log.count(), 0) << "nothing is answered before the swipe";
    device.swipe(card);
    EXPECT_EQ(log.take(), "\\1B0");
    device.receive(Bytes("\\1Bm"));
    device.swipe(card);
    // 81 3F 1C 1B 02 1B laid least significant bit first read back with the
    // first bit most significant: each byte bit-reversed.
    EXPECT_EQ(log.take(), "\\1B\\01\\06\\81\\FC8\\D8@\\D8\\1B\\02\\1B+\\1B\\03\\02\\C3<?\\1C\\1B0");
}

TEST(DeviceCommands, DecodedBlocksEndAtTheNextEscapeOrTheClosingPair) {
    Device device;
    ReplyLog log(device);
    VirtualCard card;
    FeedByteByByte(device, Bytes("\\1Bw\\1Bs\\1B\\03123\\1B\\01AB?C\\1B\\0245?\\1C"));
    device.swipe(card);
    EXPECT_EQ(log.take(), "\\1B1") << "an end sentinel inside the data is refused";
    FeedByteByByte(device, Bytes("\\1Bw\\1Bs\\1B\\03123\\1B\\01AB\\1B\\0245?\\1C"));
    device.swipe(card);
    device.receive(Bytes("\\1Br"));
    device.swipe(card);
    EXPECT_EQ(log.take(), "\\1B0\\1B\\01%AB?\\1B\\02;45?\\1B\\03;123??\\1C\\1B0");
}

TEST(DeviceCommands, AMalformedWriteIsRefusedAndTheNextCommandStillWorks) {
    Device device;
    ReplyLog log(device);
    device.receive(Bytes("\\1Bn\\1Bs\\1B\\07\\01\\1Be"));
    EXPECT_EQ(log.take(), "\\1B1\\1By");
    EXPECT_FALSE(device.isArmed());
}

TEST(DeviceCommands, StrayBytesBetweenCommandsAreIgnored) {
    Device device;
    ReplyLog log(device);
    device.receive(Bytes("\\00\\FFx\\0D\\1Be"));
    EXPECT_EQ(log.take(), "\\1By");
}

TEST(DeviceCommands, AnUnfinishedCommandIsDroppedWhenTheLineStaysQuiet) {
    Device device;
    ReplyLog log(device);
    device.receive(Bytes("\\1Bn\\1Bs\\1B\\01\\40\\01")); // 63 data bytes still owed
    RunEventLoopFor(kStaleInputMs + 200);
    device.receive(Bytes("\\1Be"));
    EXPECT_EQ(log.take(), "\\1By");
}

TEST(DeviceCommands, FixtureBannerIsAnswered) {
    Device device;
    device.setBanner(kFixtureBanner);
    ReplyLog log(device);
    device.receive(Bytes("\\1Bv"));
    EXPECT_EQ(log.bytes(), "Velk Reader/Writer LZ Fixture V1.0 060201\r");
}

} // namespace
} // namespace msrw::sim::test
