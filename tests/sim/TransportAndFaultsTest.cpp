#include "SimTestSupport.h"
#include "sim/AutoSwiper.h"
#include "sim/ports/SimTransport.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace msrw::sim::test {
namespace {

const std::string kEsc = "\x1B";

struct ShapeCase {
    Faults faults;
    std::vector<std::string> pieces;
};

class ReplyShape : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(ReplyShape, FollowsTheFaults) {
    EXPECT_EQ(ShapeReply(GetParam().faults, kEsc + "0"), GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(Faults, ReplyShape,
                         ::testing::Values(ShapeCase{Faults{}, {kEsc + "0"}},
                                           ShapeCase{Faults{true, 0, false, 0}, {"\x1B", "0"}},
                                           ShapeCase{Faults{false, 4, false, 0},
                                                     {std::string("\x00\xFF\x80\x00\x1B"
                                                                  "0",
                                                                  6)}},
                                           ShapeCase{Faults{true, 1, false, 0},
                                                     {std::string(1, '\0'), "\x1B", "0"}},
                                           ShapeCase{Faults{true, 2, true, 0}, {}}));

class Transport : public ::testing::Test {
protected:
    void SetUp() override {
        transport = std::make_unique<SimTransport>(device);
        QObject::connect(transport.get(), &msrw::Transport::bytesReceived,
                         [this](const std::string& bytes) { received.push_back(bytes); });
        QObject::connect(transport.get(), &msrw::Transport::lost,
                         [this](const QString&) { ++lostCount; });
        QString error;
        ASSERT_TRUE(transport->open(SerialSettings{}, error)) << error.toStdString();
    }
    std::string joined() const {
        std::string all;
        for (const std::string& piece : received)
            all += piece;
        return all;
    }
    void settle() { RunEventLoopFor(50); }

    std::shared_ptr<Device> device = std::make_shared<Device>();
    std::unique_ptr<SimTransport> transport;
    std::vector<std::string> received;
    int lostCount = 0;
};

TEST_F(Transport, RepliesArriveFromTheEventLoopNeverInsideWrite) {
    EXPECT_TRUE(transport->write(Bytes("\\1Be")));
    EXPECT_TRUE(received.empty());
    ASSERT_TRUE(WaitUntil([this] { return !received.empty(); }));
    EXPECT_EQ(joined(), "\x1By");
}

TEST_F(Transport, FragmentedRepliesArriveOneByteAtATimeAfterTheNoise) {
    device->faults().fragment = true;
    device->faults().garbageBytes = 3;
    transport->write(Bytes("\\1Be"));
    settle();
    EXPECT_EQ(received,
              (std::vector<std::string>{std::string(1, '\0'), "\xFF", "\x80", "\x1B", "y"}));
}

TEST_F(Transport, ASilentDeviceAnswersNothing) {
    device->faults().silent = true;
    transport->write(Bytes("\\1Be\\1Bv"));
    settle();
    EXPECT_TRUE(received.empty());
}

TEST_F(Transport, RepliesQueuedBeforeCloseAreNotDeliveredAfterIt) {
    transport->write(Bytes("\\1Be"));
    transport->close();
    QString error;
    ASSERT_TRUE(transport->open(SerialSettings{}, error));
    settle();
    EXPECT_TRUE(received.empty());
}

TEST_F(Transport, ThePortVanishesAfterTheGivenNumberOfCommands) {
    device->faults().vanishAfter = 2;
    transport->write(Bytes("\\1Be"));
    transport->write(Bytes("\\1Be"));
    EXPECT_FALSE(transport->isOpen());
    ASSERT_TRUE(WaitUntil([this] { return lostCount == 1; }));
    EXPECT_EQ(joined(), "\x1By") << "the second command went unanswered";
    EXPECT_FALSE(transport->write(Bytes("\\1Be")));

    QString error;
    EXPECT_FALSE(transport->open(SerialSettings{}, error));
    EXPECT_FALSE(error.isEmpty());
    device->restore();
    EXPECT_TRUE(transport->open(SerialSettings{}, error));
}

TEST_F(Transport, ThePortVanishesOnDemand) {
    device->vanish();
    ASSERT_TRUE(WaitUntil([this] { return lostCount == 1; }));
    EXPECT_FALSE(transport->isOpen());
}

TEST_F(Transport, OnePortAtATimeHoldsASharedDevice) {
    const auto factory = SimTransport::Factory(device);
    std::unique_ptr<msrw::Transport> other = factory();
    QString error;
    EXPECT_FALSE(other->open(SerialSettings{}, error));
    EXPECT_FALSE(error.isEmpty());
    transport->close();
    EXPECT_TRUE(other->open(SerialSettings{}, error));
    other.reset(); // destroying an open port lets the device go
    EXPECT_TRUE(transport->open(SerialSettings{}, error));
}

TEST(AutoSwipe, SwipesTheNextCardAndTheSameOneForAVerification) {
    Device device;
    ReplyLog log(device);
    VirtualCard written;
    written.tracks[1].record(5, {true, false, true});
    Deck deck({{"first", VirtualCard{}}, {"second", written}});
    AutoSwiper swiper(device, deck, 5);

    // A pass-book write of one byte A5 on track 2: written, then verified.
    device.receive(Bytes("\\1BW\\1Bs\\1B\\01\\00\\1B\\02\\02\\A5\\00\\1B\\03\\00\\3F\\1C"));
    ASSERT_TRUE(WaitUntil([&] { return log.count() == 2; }));
    EXPECT_EQ(log.take(), "\\1B5\\1B0");
    EXPECT_FALSE(deck[0].card.tracks[1].isBlank());

    device.receive(Bytes("\\1Bm"));
    ASSERT_TRUE(WaitUntil([&] { return log.count() == 1; }));
    EXPECT_EQ(log.take(), "\\1B\\01\\1B+\\1B\\02\\01\\A0\\1B\\03\\1B+?\\1C\\1B0");
}

TEST(AutoSwipe, OneCardEachTimeACardCommandArmsAndNoneOtherwise) {
    Device device;
    ReplyLog log(device);
    Deck deck = Deck::AtHand();
    AutoSwiper swiper(device, deck, 5);
    int swiped = 0;
    QObject::connect(&swiper, &AutoSwiper::swiped, [&] { ++swiped; });
    device.receive(Bytes("\\1Be")); // not a card command: nothing is swiped
    device.receive(Bytes("\\1Br"));
    ASSERT_TRUE(WaitUntil([&] { return swiped == 1; }));
    EXPECT_FALSE(WaitUntil([&] { return swiped > 1; }, 100)); // the read does not re-arm
    device.receive(Bytes("\\1Br"));
    ASSERT_TRUE(WaitUntil([&] { return swiped == 2; }));
}

TEST(Deck, TheCardsAtHandMatchTheUtilitysStartingCoercivityButOne) {
    int high = 0;
    const Deck deck = Deck::AtHand();
    for (const NamedCard& named : deck.cards()) {
        const bool isHigh = named.card.coercivity == Coercivity::High;
        high += isHigh ? 1 : 0;
        EXPECT_EQ(isHigh, named.name == "High-coercivity card") << named.name;
        if (isHigh) { // it reads: only a low-coercivity write shows the mismatch
            EXPECT_EQ(ReadCardDecoded(named.card, DeviceSettings{})[1].data,
                      ";5555555555554444=2812101?");
        }
    }
    EXPECT_EQ(high, 1);
}

} // namespace
} // namespace msrw::sim::test
