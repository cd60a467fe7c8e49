// Cards written and read in the Tarn family: ISO and AAMVA loads recorded on
// the swipe and read back, CUSTOM tracks round trip, coercivity and density.

#include "TarnTestSupport.h"
#include "sim/Deck.h"

namespace msrw::sim::test {
namespace {

VirtualCard LowCoCard() {
    VirtualCard card;
    card.coercivity = Coercivity::Low;
    return card;
}

// The load of a CUSTOM track: `zeros` 00 bytes, then the bits of `data`,
// first bit the most significant, cut into `bits`-bit characters (the last
// filled with zeros), each sent as 80 | value, then 04. Stuffing is not
// needed: every character byte has its top bit set.
std::string CustomLoad(const std::string& data, int bits, int zeros) {
    std::vector<bool> stream;
    for (const char byte : data)
        for (int i = 7; i >= 0; --i)
            stream.push_back(((static_cast<unsigned char>(byte) >> i) & 1) != 0);
    std::string load(static_cast<std::size_t>(zeros), '\0');
    for (std::size_t at = 0; at < stream.size(); at += static_cast<std::size_t>(bits)) {
        unsigned value = 0;
        for (std::size_t i = at; i < at + static_cast<std::size_t>(bits); ++i)
            value = (value << 1) | (i < stream.size() && stream[i] ? 1u : 0u);
        load += static_cast<char>(0x80 | value);
    }
    return load + '\x04';
}

// The tests below read the data as a device in Mode 1 gives it: closed by
// 04, without sentinels.
class TarnTracks : public TarnDevice {
protected:
    void SetUp() override {
        TarnDevice::SetUp();
        writeMemory("\\30\\34\\30\\30");
    }
    // Swipes `card` for an armed read and answers the track `request`.
    std::string readBack(VirtualCard& card, std::string_view request) {
        EXPECT_EQ(send("\\50"), "");
        EXPECT_EQ(swipe(card), "^^");
        return send(request);
    }
};

TEST_F(TarnTracks, IsoTracksAreWrittenWithSentinelsAndReadBackWithout) {
    VirtualCard card = LowCoCard();
    EXPECT_EQ(send("\\41B4111^DOE/J^2812\\04\\42\\34\\31\\31\\31=2812\\04"), "^^^^");
    EXPECT_EQ(send("\\43\\30\\31\\32\\33\\04\\40"), "^^");
    EXPECT_EQ(swipe(card), "^^");
    EXPECT_EQ(ReadDecoded(card.tracks[0], 7).data, "%B4111^DOE/J^2812?");
    EXPECT_EQ(ReadDecoded(card.tracks[1], 5).data, ";4111=2812?");
    EXPECT_EQ(readBack(card, "\\71\\31"), "B4111^DOE/J^2812\\04");
    EXPECT_EQ(send("\\72\\32\\73\\33"), "4111=2812\\040123\\04");
    EXPECT_EQ(send("\\73\\31"), "*") << "track 3 is not in the 7-bit form";
    EXPECT_EQ(send("\\72\\31\\71\\32"), "**") << "no such requests";
}

TEST_F(TarnTracks, AamvaTrackThreeIsSevenBitAndUnloadedTracksStayAsTheyWere) {
    VirtualCard card = Deck::Samples()[1].card; // ISO sample, high coercivity
    card.coercivity = Coercivity::Low;
    const Stripe track2 = card.tracks[1];
    EXPECT_EQ(send("\\63\\31#ABC 12\\04\\02\\40\\03\\41"), "^^");
    EXPECT_EQ(swipe(card), "\\02^\\03_\\02^\\03_");
    EXPECT_EQ(card.tracks[1], track2);
    EXPECT_EQ(readBack(card, "\\73\\31"), "#ABC 12\\04");
    EXPECT_EQ(send("\\73\\33"), "*");
    EXPECT_EQ(send("\\72\\32"), "4111111111111111=2812101\\04");
    EXPECT_EQ(sendBytes(Framed("\\50")), "");
    EXPECT_EQ(swipe(card), "\\02^\\03_\\02^\\03_") << "the double start reply, framed";
    EXPECT_EQ(sendBytes(Framed("\\73\\31")), DisplayForm(Framed("#ABC 12\\04")));
    EXPECT_EQ(sendBytes(Framed("\\71\\31")),
              DisplayForm(Framed("B4111111111111111^SAMPLE/CARD^2812101\\04")));
}

TEST_F(TarnTracks, ALoadThatCannotBeRecordedIsRefusedAndNotWritten) {
    VirtualCard card = LowCoCard();
    EXPECT_EQ(send("\\42\\31A\\04"), "^*") << "letters are not 5-bit characters";
    EXPECT_EQ(send("\\41AB?C\\04"), "^*") << "an end sentinel inside";
    EXPECT_EQ(send("\\41AB\\10\\04"), "^*") << "a 10 with nothing stuffed after it";
    EXPECT_EQ(send("\\55\\3D\\35\\80\\A0\\04"), "^*") << "20 does not fit 5 bits";
    EXPECT_EQ(send("\\55\\3D\\35\\80\\05\\04"), "^*") << "a character without its 80";
    EXPECT_EQ(send("\\55\\3D\\38\\56\\5F\\34"), "**") << "8 and 4 bits are no CUSTOM sizes";
    EXPECT_EQ(send("\\41\\7F"), "^^") << "a reset ends a pending load";
    EXPECT_EQ(send("\\40"), "");
    EXPECT_EQ(swipe(card), "^^");
    EXPECT_TRUE(card.tracks[0].isBlank());
    EXPECT_TRUE(card.tracks[1].isBlank());
}

TEST_F(TarnTracks, BlankDamagedAndUnreadTracksAnswerPlusAndStar) {
    EXPECT_EQ(send("\\71\\31"), "+") << "nothing read yet";
    VirtualCard card = Deck::Samples()[3].card; // track 2 damaged
    EXPECT_EQ(readBack(card, "\\72\\32"), "*");
    EXPECT_EQ(send("\\56\\5F\\35"), "*");
    VirtualCard blank;
    EXPECT_EQ(readBack(blank, "\\71\\31"), "+");
    EXPECT_EQ(send("\\57\\5F\\37"), "+");
}

TEST_F(TarnTracks, CustomTracksReadBackWhatWasWritten) {
    // Leading zero bits, then bytes that must travel stuffed.
    const std::string data("\x00\x02\x03\x04\x10\xFF\x5A", 7);
    const std::string stuffed("\x00\x10\x42\x10\x43\x10\x44\x10\x50\xFF\x5A\x04", 12);
    for (const int bits : {7, 6, 5}) {
        for (const int zeros : {0, 9}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, " << zeros << " zeros");
            VirtualCard card = LowCoCard();
            const char size = static_cast<char>('0' + bits);
            const std::string track = std::string(1, static_cast<char>('\x55' + bits % 3));
            EXPECT_EQ(sendBytes(track + "=" + size + CustomLoad(data, bits, zeros)), "^^");
            EXPECT_EQ(send("\\40"), "");
            EXPECT_EQ(swipe(card), "^^");
            EXPECT_EQ(send("\\50"), "");
            EXPECT_EQ(swipe(card), "^^");
            device.receive(track + "_" + size);
            EXPECT_EQ(log.bytes(), stuffed);
            log.take();
        }
    }
}

TEST_F(TarnTracks, ACustomTrackLiesAsStartCharacterThenCharactersLsbFirst) {
    VirtualCard card = LowCoCard();
    // 03 in 5-bit pieces: 00000 011(00): the characters 00 and 0C.
    EXPECT_EQ(send("\\55\\3D\\35\\00\\00\\80\\8C\\04\\40"), "^^");
    EXPECT_EQ(swipe(card), "^^");
    const Bits& bits = card.tracks[0].bits();
    const std::size_t zeros = 61 + 16; // the device's at 210 BPI, then two bytes
    ASSERT_EQ(bits.size(), zeros + 15);
    EXPECT_EQ(card.tracks[0].firstOne(), zeros);
    const Bits tail(bits.begin() + static_cast<long>(zeros), bits.end());
    EXPECT_EQ(tail, (Bits{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0}));
    EXPECT_EQ(readBack(card, "\\55\\5F\\35"), "\\10C\\04") << "03 stuffed";
    EXPECT_EQ(send("\\55\\5F\\37"), "\\04") << "one 7-bit character after the start: no byte";
}

TEST_F(TarnDevice, TrackDataFollowsTheMemorysModeAndTheSentinelKnob) {
    struct Case {
        const char* mode; // the value written at 04
        bool sentinels;
        const char* track1;
        const char* emptyCustom; // a CUSTOM track without a whole byte
    };
    const Case cases[] = {
        {nullptr, false, "B4111111111111111^SAMPLE/CARD^2812101", "+"}, // power on: Mode 2
        {"\\30\\31", true, "%B4111111111111111^SAMPLE/CARD^2812101?", "+"},
        {"\\30\\30", false, "B4111111111111111^SAMPLE/CARD^2812101\\04", "\\04"},
        {"\\30\\32", true, "%B4111111111111111^SAMPLE/CARD^2812101?\\04", "\\04"},
        {"\\30\\33", false, "B4111111111111111^SAMPLE/CARD^2812101", "+"}, // framed, Mode 2
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.track1);
        if (c.mode)
            writeMemory(std::string("\\30\\34") + c.mode);
        device.tarn().setTrackSentinels(c.sentinels);
        VirtualCard card = Deck::Samples()[1].card;
        EXPECT_EQ(send("\\50"), "");
        EXPECT_EQ(swipe(card), "^^");
        EXPECT_EQ(send("\\71\\31"), c.track1);
        VirtualCard custom = LowCoCard();
        EXPECT_EQ(send("\\55\\3D\\35\\80\\8C\\04\\40"), "^^");
        EXPECT_EQ(swipe(custom), "^^");
        EXPECT_EQ(send("\\50"), "");
        EXPECT_EQ(swipe(custom), "^^");
        EXPECT_EQ(send("\\55\\5F\\37"), c.emptyCustom);
    }
}

TEST_F(TarnTracks, WritesNeedTheCoercivityOfAddress1C) {
    VirtualCard high;
    VirtualCard low = LowCoCard();
    auto write = [this](VirtualCard& card) {
        EXPECT_EQ(send("\\42\\31\\32\\04\\40"), "^^");
        return swipe(card);
    };
    EXPECT_EQ(write(high), "^*") << "low coercivity at power on";
    EXPECT_TRUE(high.tracks[1].isBlank());
    EXPECT_EQ(write(low), "^^");
    writeMemory("1CFF");
    EXPECT_EQ(write(low), "^^") << "a high-coercivity head records on either kind";
    EXPECT_EQ(write(high), "^^");
    writeMemory("105A");
    EXPECT_EQ(write(high), "^*") << "locked to low coercivity";
}

TEST_F(TarnTracks, DensitiesAndLeadingZerosComeFromTheFamilysOwnSettings) {
    VirtualCard card = LowCoCard();
    writeMemory("0105");
    writeMemory("0209");
    EXPECT_EQ(send("\\3B\\31\\4C\\3B\\32\\48\\41A\\04\\42\\31\\04\\43\\32\\04\\40"), "^^^^^^^^");
    EXPECT_EQ(swipe(card), "^^");
    EXPECT_EQ(card.tracks[0].firstOne(), 5u) << "track 1 at 75 BPI";
    EXPECT_EQ(card.tracks[1].firstOne(), 9u) << "track 2 at 210 BPI";
    EXPECT_EQ(card.tracks[2].firstOne(), 9u) << "track 3 at 210 BPI since power on";
}

TEST_F(TarnTracks, TheResetDisarmsAndDropsTheLoadedTracks) {
    VirtualCard card = LowCoCard();
    EXPECT_EQ(send("\\42\\31\\04\\50\\7F"), "^^^");
    EXPECT_FALSE(device.isArmed());
    EXPECT_EQ(send("\\40"), "");
    EXPECT_EQ(swipe(card), "^^");
    EXPECT_TRUE(card.tracks[1].isBlank());
}

} // namespace
} // namespace msrw::sim::test
