#include "session/PortManager.h"

#include "link/Clock.h"
#include "link/DataFolder.h"
#include "support/FakeTransport.h"
#include "support/RecordingDialogs.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;

namespace {

const std::string kBanner = "Velk Reader/Writer Version 4.0\r";
const std::string kEsc = "\x1B";
const std::string kOk = kEsc + "0";

class PortScan : public ::testing::Test {
protected:
    PortScan() {
        LinkTimings t;
        t.probeTimeoutMs = 20;
        t.replyTimeoutMs = 50;
        t.idleGapMs = 10;
        manager.SetComm();
        manager.link()->setTimings(t);
    }

    // A device on `port` that answers the identification and the communication test.
    std::shared_ptr<FakeDevice> put(int port, const std::string& banner = kBanner,
                                    const std::string& commAnswer = "\x1By") {
        auto d = std::make_shared<FakeDevice>();
        if (!banner.empty())
            d->answers[kEsc + "v"] = banner;
        if (!commAnswer.empty())
            d->answers[kEsc + "e"] = commAnswer;
        for (const char* command : {"z\x05\x16", "x", "y"})
            d->answers[kEsc + command] = kOk;
        ports.setInProcess(
            port, [d] { return std::make_unique<FakeTransport>(d); }, "fake");
        devices[port] = d;
        return d;
    }
    std::vector<std::string> sentTo(int port) { return devices[port]->received; }

    QTemporaryDir dir;
    PortDirectory ports;
    RecordingDialogs dialogs;
    RecordingClock clock;
    DataFolder data{dir.path()};
    PortState state;
    SettingsRecord settings;
    MainView view;
    std::vector<std::string> drawn; // the progress text each time the view was drawn
    std::function<void()> render = [this] { drawn.push_back(view.prompt.label); };
    PortManager manager{{ports, dialogs, clock, data, state, settings, view, render}};
    std::map<int, std::shared_ptr<FakeDevice>> devices;
};

TEST_F(PortScan, FindsTheReaderBehindSilentAndForeignPorts) {
    put(2, "", "");                    // silent
    put(3, "Some Other Device 1.0\r"); // another banner
    put(5, "", "");
    put(7);
    EXPECT_EQ(manager.OpenReader(), kPortOk);
    EXPECT_EQ(state.CurrentPort, 7);
    EXPECT_EQ(settings[0], 7);
    EXPECT_TRUE(state.ReaderFound);
    EXPECT_EQ(view.message.text, "Velk Reader/Writer Version 4.0");
    EXPECT_EQ(view.message.colour, kBlack);
    EXPECT_TRUE(view.portMenu.portChecked[6]);
    EXPECT_EQ(std::count(view.portMenu.portChecked.begin(), view.portMenu.portChecked.end(), true),
              1);
    EXPECT_TRUE(view.portMenu.openChecked);
    EXPECT_FALSE(view.portMenu.closeChecked);
    EXPECT_EQ(view.prompt.caption, "Please wait...");
    EXPECT_FALSE(view.prompt.buttonEnabled);
    EXPECT_EQ(view.prompt.label, "Trying to connect port 7");
    EXPECT_EQ(view.modeLabel, "Ormond Mode");
    EXPECT_EQ(sentTo(7), (std::vector<std::string>{kEsc + "v", kEsc + "e", kEsc + "a"}));
    ASSERT_EQ(clock.pauses.size(), 2u);
    EXPECT_EQ(clock.totalMs(), 400);
    EXPECT_EQ(sentTo(3), std::vector<std::string>{kEsc + "v"}); // never asked more
}

TEST_F(PortScan, SkipsADeviceThatFailsTheCommunicationTest) {
    put(1, kBanner, kOk);
    put(4);
    EXPECT_EQ(manager.OpenReader(), kPortOk);
    EXPECT_EQ(state.CurrentPort, 4);
}

TEST_F(PortScan, TriesTheRememberedPortFirstAndRescansWhenTheReaderLeftIt) {
    put(6);
    state.ReaderFound = true;
    settings[0] = 6;
    EXPECT_EQ(manager.DetectReader(), kPortOk);
    EXPECT_EQ(devices.size(), 1u);
    EXPECT_EQ(state.CurrentPort, 6);

    // The reader moved from port 6 to port 2; port 6 is gone altogether.
    ports.clear(6);
    put(2);
    EXPECT_EQ(manager.DetectReader(), kPortOk);
    EXPECT_EQ(state.CurrentPort, 2);
    EXPECT_EQ(settings[0], 2);

    // The reader moved to port 9 and port 2 now holds something else.
    put(2, "Some Other Device\r");
    put(9);
    EXPECT_EQ(manager.DetectReader(), kPortOk);
    EXPECT_EQ(state.CurrentPort, 9);
}

TEST_F(PortScan, TheProgressWindowIsDrawnForEachPortTried) {
    put(3);
    EXPECT_EQ(manager.OpenReader(), kPortOk);
    EXPECT_TRUE(view.prompt.visible);
    EXPECT_EQ(drawn,
              (std::vector<std::string>{"Trying to connect port 1", "Trying to connect port 2",
                                        "Trying to connect port 3"}));
}

TEST_F(PortScan, NoReaderEndsTheProgramOnlyWhenNoneWasEverFound) {
    put(3, "Some Other Device\r");
    EXPECT_EQ(manager.OpenReader(), kPortNotFound);
    EXPECT_FALSE(manager.link()->IsPortOpen());
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{"Could not detect Magstripe Reader/Writer!"});
    EXPECT_TRUE(view.quitRequested);
    EXPECT_FALSE(view.portMenu.openChecked);
    EXPECT_TRUE(view.portMenu.closeChecked);
    EXPECT_EQ(view.modeLabel, "");

    view.quitRequested = false;
    state.ReaderFound = true;
    settings[0] = 5;
    EXPECT_EQ(manager.OpenReader(), kPortNotFound);
    EXPECT_FALSE(view.quitRequested);
    EXPECT_EQ(settings[0], 0);
}

TEST_F(PortScan, ReopensThePortOfTheTarnSettingsFileOrSearches) {
    put(4);
    put(8);
    QString error;
    ASSERT_TRUE(data.writeLines("\\tarnbaudsetting.bau", {"8", "n , 8, 1", "9600,"}, error));
    EXPECT_TRUE(manager.ReOpenPort());
    EXPECT_EQ(manager.link()->openPortNumber(), 8);
    EXPECT_EQ(state.TarnParityText, "n , 8, 1");

    ports.clear(8);
    EXPECT_TRUE(manager.ReOpenPort());
    EXPECT_EQ(manager.link()->openPortNumber(), 4);
    EXPECT_TRUE(dialogs.messages.empty());

    ports.clear(4);
    put(10, "Some Other Device\r");
    EXPECT_FALSE(manager.ReOpenPort());
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Open Port Failed!"});
    EXPECT_FALSE(manager.link()->IsPortOpen()); // no card command can reach the other device

    state.MsrwMode = MsrwMode::Quell; // the Tarn protocol keeps its own port open
    EXPECT_TRUE(manager.ReOpenPort());
}

TEST_F(PortScan, FindsTheFixtureAndRemembersIt) {
    put(2);
    put(5, "Velk Reader/Writer LZ Fixture V1.0 060201\r");
    EXPECT_TRUE(manager.OpenFixture());
    EXPECT_EQ(state.FixturePort, 5);
    EXPECT_EQ(state.CurrentPort, 5);
    const std::size_t asked = sentTo(2).size();
    EXPECT_TRUE(manager.OpenFixture());
    EXPECT_EQ(sentTo(2).size(), asked); // straight to the remembered port

    ports.clear(5);
    put(3, "Velk Reader/Writer LZ Fixture V1.0 060201\r");
    EXPECT_TRUE(manager.OpenFixture());
    EXPECT_EQ(state.FixturePort, 3);

    ports.clear(3);
    put(10, "Velk Reader/Writer LZ Fixture V1.0 060201 rev B\r"); // not exactly it
    EXPECT_FALSE(manager.OpenFixture());
    EXPECT_EQ(state.FixturePort, 0);
}

TEST_F(PortScan, PushesTheStoredCardSettings) {
    auto reader = put(1);
    ASSERT_EQ(manager.OpenReader(), kPortOk);
    reader->received.clear();
    settings[2] = 5;
    settings[3] = 22;
    settings[4] = 0;
    settings[5] = 1;
    settings[6] = 2; // no density command for an unknown position
    settings[7] = 1;
    EXPECT_EQ(manager.PushCardSettings(), kPortOk);
    EXPECT_EQ(reader->received, (std::vector<std::string>{kEsc + "z\x05\x16", kEsc + "f\xD2",
                                                          kEsc + "b\x4B", kEsc + "x"}));
    EXPECT_EQ(view.coercivityLabel, "High Coercivity");
    EXPECT_EQ(view.defaultSettingLabel.text, "  Not in Default Setting.");
    EXPECT_EQ(view.defaultSettingLabel.colour, kRed);
    EXPECT_TRUE(dialogs.messages.empty());

    settings = SettingsRecord{};
    settings[2] = 61;
    settings[3] = 22;
    settings[5] = 1;
    reader->received.clear();
    EXPECT_EQ(manager.PushCardSettings(), kLeadingZerosRefused); // the reader did not say OK
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Set Leading Zero failed"});
    EXPECT_EQ(reader->received.back(), "\x1By");
    EXPECT_EQ(view.coercivityLabel, "Low Coercivity");
    EXPECT_EQ(view.defaultSettingLabel.text, "  Default Setting Active.");
    EXPECT_EQ(view.defaultSettingLabel.colour, kBlue);
}

TEST_F(PortScan, LeadingZerosThatDoNotFitAByteAreNotSent) {
    auto reader = put(1);
    ASSERT_EQ(manager.OpenReader(), kPortOk);
    reader->received.clear();
    settings[2] = 300;
    settings[3] = 22;
    EXPECT_EQ(manager.PushCardSettings(), kLeadingZerosRefused);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("300"), std::string::npos);
    for (const std::string& sent : reader->received)
        EXPECT_NE(sent.substr(0, 2), kEsc + "z");
    EXPECT_EQ(reader->received.size(), 4u); // the densities and coercivity still go
}

TEST_F(PortScan, ThePortRecordNeverOverwritesTheSettingsRecord) {
    QString error;
    ASSERT_TRUE(data.writeLines("\\VelkMsrw.cfg", std::vector<std::string>(30, "7"), error));
    state.CurrentPort = 10;
    state.MsrwMode = MsrwMode::Velk;
    ASSERT_TRUE(manager.SaveCommCfgFile());
    EXPECT_EQ(data.readLines("\\VelkMsrwPort.cfg"),
              (std::vector<std::string>{"Comm10", "9600", "S,7,1", "Velk Mode"}));
    EXPECT_EQ(data.readLines("\\VelkMsrw.cfg")->size(), 30u);
    EXPECT_EQ(state.CommLine, "Comm10");
}

} // namespace
