// The Tarn family byte for byte: bare and framed commands, check bytes,
// stuffing, the set-up memory and the switch back to the escape family.

#include "TarnTestSupport.h"
#include "sim/TarnFraming.h"

namespace msrw::sim::test {
namespace {

using TarnExchange = TarnDevice;

TEST_F(TarnExchange, BareCommandsAreAnsweredBareAndUnknownOnesRefused) {
    EXPECT_EQ(send("\\7F\\4B\\6B\\4D\\4C\\28"), "^^^^^^");
    EXPECT_EQ(send("\\3B\\31\\48\\3B\\33\\4C"), "^^");
    EXPECT_EQ(send("\\3B\\34\\48\\3B\\31\\41"), "**") << "no track 4, no such density";
    EXPECT_EQ(send("\\99Tx"), "***") << "not a command, nor ToVELK after all";
    EXPECT_EQ(send("\\39"), "Velk Reader/Writer Version 4.0 Sim\\0D");
}

TEST_F(TarnExchange, FramedCommandsAreAnsweredInFrames) {
    EXPECT_EQ(send("\\02\\4B\\03\\4A"), "\\02^\\03_");
    EXPECT_EQ(sendBytes(Framed("\\51\\30\\32")), DisplayForm(Framed("3D")));
    EXPECT_EQ(sendBytes(Framed("9")),
              DisplayForm(Framed("Velk Reader/Writer Version 4.0 Sim\\0D")));
    EXPECT_EQ(sendBytes(Framed("\\51\\30")), "\\02*\\03+") << "a frame holds one whole command";
    FeedByteByByte(device, Framed("\\7F"));
    EXPECT_EQ(log.take(), "\\02^\\03_") << "a frame is answered once complete";
}

TEST_F(TarnExchange, AWrongCheckByteIsRefusedAndOtherwiseIgnored) {
    EXPECT_EQ(send("\\09\\09\\09"), "^");
    EXPECT_EQ(send("\\02\\7F\\03\\00"), "\\02*\\03+");
    EXPECT_EQ(send("\\41\\30\\35\\34\\32\\40"), "^^") << "the memory is still open";
    EXPECT_EQ(device.tarn().memory(0x05), 0x42);
    EXPECT_EQ(send("\\02\\50\\03\\50"), "\\02*\\03+");
    EXPECT_FALSE(device.isArmed());
}

TEST_F(TarnExchange, AFrameHoldsAtMost201Bytes) {
    const std::string refused = "\\02*\\03+";
    EXPECT_EQ(send("\\41"), "^");
    EXPECT_EQ(sendBytes(Framed(std::string(197, 'A') + "\\04")), "\\02^\\03_");
    EXPECT_EQ(send("\\41"), "^");
    EXPECT_EQ(sendBytes(Framed(std::string(198, 'A') + "\\04")), refused);
}

TEST_F(TarnExchange, StuffedBytesTravelAsTenThenTheByteXor40) {
    const std::string data("\x02\x03\x04\x10\x41\x00", 6);
    EXPECT_EQ(DisplayForm(tarn::Stuff(data)), "\\10B\\10C\\10D\\10PA\\00");
    EXPECT_EQ(tarn::Unstuff(tarn::Stuff(data)), data);
    EXPECT_EQ(tarn::Unstuff("A\x10"), std::nullopt) << "nothing after the 10";
    EXPECT_EQ(tarn::Unstuff("\x10\x41"), std::nullopt) << "01 is never stuffed";
}

TEST_F(TarnExchange, TheSetUpMemoryStartsWithItsPowerOnValues) {
    const std::vector<std::pair<const char*, const char*>> expected{
        {"00", "1A"}, {"01", "16"}, {"02", "3D"}, {"03", "19"}, {"04", "01"}, {"05", "FF"},
        {"10", "00"}, {"1B", "FF"}, {"1C", "34"}, {"1D", "*"},  {"G0", "*"}};
    for (const auto& [address, value] : expected)
        EXPECT_EQ(send("\\51" + std::string(address)), value) << address;
}

TEST_F(TarnExchange, MemoryWritesNeedTheMemoryOpenAndOutliveResets) {
    writeMemory("1CFF");
    writeMemory("1b0c"); // lower-case digits are digits too
    EXPECT_EQ(send("\\09\\09\\09\\41\\31\\47\\30\\30\\41\\31\\44\\30\\30"), "^**")
        << "not a value, not an address";
    EXPECT_EQ(send("\\7F\\40"), "^") << "the reset closed the memory: 40 arms a write";
    EXPECT_TRUE(device.isArmed());
    EXPECT_EQ(send("\\7F"), "^");
    EXPECT_FALSE(device.isArmed()) << "the reset disarms";
    FeedByteByByte(device, "ToVELK");
    device.receive(Bytes("\\1BToTARN"));
    EXPECT_EQ(send("\\51\\31\\43\\51\\31\\42"), "FF0C");
}

TEST_F(TarnExchange, APartialOpeningOrToVelkIsTakenByteByByteOnceTheLineIsQuiet) {
    device.receive("\x09\x09");
    EXPECT_EQ(log.count(), 0);
    ASSERT_TRUE(WaitUntil([this] { return log.count() == 2; }, 1000));
    EXPECT_EQ(log.take(), "**");
    device.receive("To");
    ASSERT_TRUE(WaitUntil([this] { return log.count() == 2; }, 1000));
    EXPECT_EQ(log.take(), "**");
    EXPECT_EQ(device.family(), Family::Tarn);
    FeedByteByByte(device, "ToVELK");
    EXPECT_EQ(device.family(), Family::Escape);
    EXPECT_EQ(send("\\39"), "\\1B4");
}

} // namespace
} // namespace msrw::sim::test
