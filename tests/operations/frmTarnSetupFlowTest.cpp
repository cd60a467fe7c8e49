// The Tarn set-up dialog against a reader: the Setup command in "Quell
// Mode", OK's exchanges byte for byte (bare and framed) with what the reader
// and the files hold afterwards, Cancel, and a reader that fails on the way.

#include "files/TarnSetupFile.h"
#include "link/MsrwDLL.h"
#include "operations/settings/SetupDialog.h"
#include "operations/settings/TarnSetup.h"
#include "session/MainControls.h"
#include "session/PortManager.h"
#include "session/SetupMemory.h"
#include "sim/TarnResponder.h"
#include "support/CardsSession.h"

#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;
using tarn::TarnParity;

namespace {

using Lines = std::vector<std::string>;

Lines ReadFile(const Session& s, const char* name) {
    return s.data.readLines(name).value_or(Lines{"(missing)"});
}

// What OK sends when the dialog shows its defaults: the memory writes of
// addresses 01, 02, 03, 04 and 1C between the opening and the closing of the
// set-up memory.
const Commands kDefaultMemoryWrites{"\\09\\09\\09", "A0116", "A023D", "A0301",
                                    "A0401",        "A1C34", "@"};

// A started "Quell Mode" run against the simulated reader/writer.
class TarnSetupFlow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(t.startQuell());
        ASSERT_TRUE(s().quell());
        t.takeSent();
        t.dialogs.messages.clear();
    }
    Session& s() { return *t.session; }
    TarnSetupView& view() { return s().operationState<TarnSetupView>(); }
    void openDialog() {
        cmdSetup_Click(s());
        ASSERT_TRUE(view().visible);
        ASSERT_TRUE(t.dialogs.messages.empty()) << t.dialogs.messages.front();
        t.takeSent();
    }
    std::uint8_t memory(std::uint8_t address) { return t.device->tarn().memory(address); }
    // The port answers the family's commands as they are now set.
    bool readerAnswers() {
        std::string reply;
        return s().link().TarnExchange("\\4C", reply) == kLinkOk && reply == "^";
    }

    SimSession t;
};

TEST_F(TarnSetupFlow, SetupFillsTheDialogFromTheReadersMemoryAndTheFile) {
    {
        SetupMemory memory(s().link()); // as an earlier set-up may have left it
        ASSERT_TRUE(memory.write("01", "14"));
        ASSERT_TRUE(memory.write("02", "50"));
        ASSERT_TRUE(memory.write("04", "02"));
        ASSERT_TRUE(memory.write("1C", "FF"));
    }
    QString error;
    ASSERT_TRUE(s().data.writeLines(kTarnSetupFile,
                                    {"12", "7", "5", "1", "0", "2", "1", "1", "0", "1"}, error));
    view().buttonsEnabled = false;
    openDialog();
    const TarnSetupView& v = view();
    EXPECT_EQ(v.boxes, (std::array<std::string, kTarnBoxes>{"12", "7", "5", "20", "80"}));
    EXPECT_EQ(v.cboCustom[0].text(), "6 bit");
    EXPECT_EQ(v.cboTkBpi[1].text(), "75");
    EXPECT_EQ(v.serial.baud, 9600); // 19 as the reader starts
    EXPECT_EQ(v.serial.parity, TarnParity::Space);
    EXPECT_TRUE(v.framed);
    EXPECT_TRUE(v.modeOne);
    EXPECT_TRUE(v.chktarnhico);
    EXPECT_TRUE(v.chktarnhicoEnabled);
    EXPECT_TRUE(v.buttonsEnabled);
    EXPECT_FALSE(s().view.isEnabled(Control::cmdRead));
    EXPECT_FALSE(s().view.prompt.visible);
}

TEST_F(TarnSetupFlow, AReaderForLowCoercivityOnlyGetsNoHighCoercivityBox) {
    {
        SetupMemory memory(s().link());
        ASSERT_TRUE(memory.write("1C", "FF"));
        ASSERT_TRUE(memory.write(kLowCoOnlyAddress, kLowCoOnlyValue));
    }
    openDialog();
    EXPECT_FALSE(view().chktarnhicoEnabled);
    EXPECT_FALSE(view().chktarnhico);
}

TEST_F(TarnSetupFlow, OkWritesTheReaderAndTheFilesAndTheReaderStillAnswers) {
    openDialog();
    TarnSetupView& v = view();
    v.boxes = {"10", "11", "12", "30", "70"};
    (void)v.cboCustom[0].select(1);
    (void)v.cboTkBpi[0].select(1);
    (void)v.cboTkBpi[2].select(1); // tracks 1 and 3 share their density
    v.serial = {2400, TarnParity::Mark};
    v.modeOne = true;
    v.chktarnhico = true;
    frmTarnSetup::CmdTarnsetupOk_Click(s());
    EXPECT_TRUE(t.dialogs.messages.empty()) << t.dialogs.messages.front();
    const Commands sent = t.takeSent();
    // The densities still come from the file as it was; the new ones go
    // with the card type applied afterwards.
    const Commands expected{"\\7F",  ";1H",   ";2L",   ";3H", "\\09\\09\\09", "A011E", "A0246",
                            "A0313", "A0400", "A1CFF", "@"};
    ASSERT_GE(sent.size(), expected.size() + 1);
    EXPECT_EQ(Commands(sent.begin(), sent.begin() + std::ptrdiff_t(expected.size())), expected);
    EXPECT_EQ(sent.back(), "L");

    EXPECT_EQ(memory(0x01), 30);
    EXPECT_EQ(memory(0x02), 70);
    EXPECT_EQ(memory(0x03), 0x13);
    EXPECT_EQ(memory(0x04), 0x00);
    EXPECT_EQ(memory(0x1C), 0xFF);
    EXPECT_EQ(ReadFile(s(), kTarnSerialFile), (Lines{s().port.TarnPortText, "m , 7, 1", "2400,"}));
    EXPECT_EQ(ReadFile(s(), kTarnSetupFile),
              (Lines{"10", "11", "12", "1", "2", "2", "1", "1", "1", "1"}));
    EXPECT_TRUE(readerAnswers()); // the port follows the reader's new serial format

    EXPECT_FALSE(v.visible);
    EXPECT_TRUE(s().g.TarnUnframed);
    EXPECT_EQ(s().g.tarnMemory.serialFormat, "13");
    EXPECT_EQ(s().g.tarnMemory.coercivity, "FF");
    EXPECT_EQ(s().g.tarnMemory.protocolAndMode, 0);
    EXPECT_EQ(s().view.coercivityLabel, "High Coercivity");
    EXPECT_TRUE(s().view.isEnabled(Control::cmdRead));
    EXPECT_TRUE(s().view.isEnabled(Control::cmdSetup));

    // Opened again, the dialog shows what was set.
    openDialog();
    EXPECT_EQ(view().serial.baud, 2400);
    EXPECT_EQ(view().serial.parity, TarnParity::Mark);
    EXPECT_EQ(view().boxes, (std::array<std::string, kTarnBoxes>{"10", "11", "12", "30", "70"}));
}

TEST_F(TarnSetupFlow, OkInTheFramedProtocolFramesItsCommands) {
    openDialog();
    view().framed = true;
    frmTarnSetup::CmdTarnsetupOk_Click(s());
    EXPECT_FALSE(s().g.TarnUnframed);
    EXPECT_EQ(ReadFile(s(), kTarnSetupFile).back(), "0");
    EXPECT_EQ(memory(0x04), 0x03);
    t.takeSent();

    openDialog();
    EXPECT_TRUE(view().framed);
    frmTarnSetup::CmdTarnsetupOk_Click(s());
    EXPECT_TRUE(t.dialogs.messages.empty()) << t.dialogs.messages.front();
    const Commands sent = t.takeSent();
    Commands expected{"\\02\\7F\\03~", "\\02;1H\\03C", "\\02;2L\\03D", "\\02;3H\\03A"};
    expected.insert(expected.end(), kDefaultMemoryWrites.begin(), kDefaultMemoryWrites.end());
    expected[7] = "A0319"; // 03 as the reader had it: 9600, space parity
    expected[8] = "A0403"; // 04: protocol 1, mode 2
    ASSERT_GE(sent.size(), expected.size() + 1);
    EXPECT_EQ(Commands(sent.begin(), sent.begin() + std::ptrdiff_t(expected.size())), expected);
    EXPECT_EQ(sent.back(), "\\02L\\03M");
}

TEST_F(TarnSetupFlow, OkWantsTheSameDensityOnTracksOneAndThreeBeforeSendingAnything) {
    openDialog();
    const Lines setupFile = ReadFile(s(), kTarnSetupFile);
    ASSERT_TRUE(view().cboTkBpi[0].select(1)); // 75 BPI, track 3 at 210
    frmTarnSetup::CmdTarnsetupOk_Click(s());
    EXPECT_EQ(t.dialogs.messages, (Lines{"BPI on Track 1 and BPI on Track 3 must be the same!"}));
    EXPECT_TRUE(t.takeSent().empty());
    EXPECT_TRUE(view().visible);
    EXPECT_TRUE(view().buttonsEnabled);
    EXPECT_EQ(ReadFile(s(), kTarnSetupFile), setupFile);

    ASSERT_TRUE(view().cboTkBpi[2].select(1)); // both at 75: taken
    t.dialogs.messages.clear();
    frmTarnSetup::CmdTarnsetupOk_Click(s());
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_FALSE(view().visible);
    EXPECT_EQ(ReadFile(s(), kTarnSetupFile)[6], "1");
    EXPECT_EQ(ReadFile(s(), kTarnSetupFile)[8], "1");
}

TEST_F(TarnSetupFlow, CancelClosesTheDialogWithTheClosingCommandOnly) {
    openDialog();
    view().boxes[0] = "33";
    frmTarnSetup::CmdTarnCancel_Click(s());
    EXPECT_EQ(t.takeSent(), (Commands{"L"}));
    EXPECT_FALSE(view().visible);
    EXPECT_TRUE(s().view.isEnabled(Control::cmdRead));
    EXPECT_EQ(ReadFile(s(), kTarnSetupFile).front(), "9");
}

TEST_F(TarnSetupFlow, AReaderThatDoesNotAnswerItsResetIsNotWritten) {
    openDialog();
    const Lines setupFile = ReadFile(s(), kTarnSetupFile);
    const Lines serialFile = ReadFile(s(), kTarnSerialFile);
    view().boxes[3] = "40";
    t.device->faults().silent = true;
    frmTarnSetup::CmdTarnsetupOk_Click(s());
    EXPECT_EQ(t.dialogs.messages, (Lines{"Failed to reset! Please Check the reader."}));
    EXPECT_EQ(t.takeSent(), (Commands{"\\7F"}));
    EXPECT_TRUE(view().visible);
    EXPECT_TRUE(view().buttonsEnabled);
    EXPECT_EQ(ReadFile(s(), kTarnSetupFile), setupFile);
    EXPECT_EQ(ReadFile(s(), kTarnSerialFile), serialFile);

    // Setup itself tells the same and leaves the main window as it was.
    view().visible = false;
    const auto enabled = s().view.enabled;
    t.dialogs.messages.clear();
    cmdSetup_Click(s());
    EXPECT_EQ(t.dialogs.messages, (Lines{"Failed to reset! Please Check the reader."}));
    EXPECT_FALSE(view().visible);
    EXPECT_EQ(s().view.enabled, enabled);
}

// A scripted reader that keeps the serial settings its port was opened with.
class SettingsKeepingTransport : public FakeTransport {
public:
    SettingsKeepingTransport(std::shared_ptr<FakeDevice> device,
                             std::vector<SerialSettings>& opened)
        : FakeTransport(std::move(device)), opened_(opened) {}
    bool open(const SerialSettings& settings, QString& error) override {
        opened_.push_back(settings);
        return FakeTransport::open(settings, error);
    }

private:
    std::vector<SerialSettings>& opened_;
};

// A scripted reader, for what the simulated one does not show: the port's
// settings, and failures.
class TarnSetupScripted : public CardsSession {
protected:
    void SetUp() override {
        ports.setInProcess(
            1,
            [this] {
                if (++opens > opensAllowed)
                    device->present = false;
                return std::make_unique<SettingsKeepingTransport>(device, opened);
            },
            "fake");
        for (const char* command : {"\x7F", ";1H", ";2L", ";3H", "\x09\x09\x09", "A0116", "A023D",
                                    "A0301", "A0401", "A1C34", "@", "L"})
            device->answers[command] = "^";
        setMode(MsrwMode::Quell, true);
        session.g.TarnUnframed = true;
        session.port.TarnPortText = "1";
        ASSERT_EQ(session.link().OpenPort("1", "9600,s , 7, 1"), kLinkOk);
        frmTarnSetup::ShowSetupInterface(session); // the defaults, and their file
        DisMainBtns(session.view);
        view().visible = true;
    }
    TarnSetupView& view() { return session.operationState<TarnSetupView>(); }
    Commands received() {
        Commands out;
        for (const std::string& bytes : device->received)
            out.push_back(ToCommandText(bytes));
        return out;
    }

    std::shared_ptr<FakeDevice> device = std::make_shared<FakeDevice>();
    std::vector<SerialSettings> opened;
    int opens = 0;
    int opensAllowed = 1000;
};

TEST_F(TarnSetupScripted, ThePortIsOpenedAgainWithTheNewSerialFormatAfterTheMemoryCloses) {
    device->answers.erase("A0301");
    device->answers["A0312"] = "^"; // 4800, mark parity
    view().serial = {4800, TarnParity::Mark};
    opened.clear();
    frmTarnSetup::CmdTarnsetupOk_Click(session);
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], (SerialSettings{4800, 'M', 7, 1}));
    const Commands got = received();
    const auto close = std::find(got.begin(), got.end(), "@");
    ASSERT_NE(close, got.end());
    EXPECT_NE(std::find(close, got.end(), "L"), got.end()); // sent over the reopened port
    EXPECT_EQ(ReadFile(session, kTarnSerialFile), (Lines{"1", "m , 7, 1", "4800,"}));
}

TEST_F(TarnSetupScripted, ARefusedMemoryWriteKeepsTheDialogOpenAndTheFileAsItWas) {
    device->answers["A0401"] = "*";
    view().boxes[0] = "20";
    frmTarnSetup::CmdTarnsetupOk_Click(session);
    EXPECT_EQ(dialogs.messages,
              (Lines{"Failed to write the setup to the reader! Please Check the reader."}));
    Commands expected{"\\7F", ";1H", ";2L", ";3H"};
    expected.insert(expected.end(), kDefaultMemoryWrites.begin(), kDefaultMemoryWrites.end());
    EXPECT_EQ(received(), expected); // every write tried, the memory closed
    EXPECT_TRUE(view().visible);
    EXPECT_TRUE(view().buttonsEnabled);
    EXPECT_EQ(ReadFile(session, kTarnSetupFile).front(), "9");
    // The serial format was taken: the port and its file follow it all the same.
    EXPECT_EQ(ReadFile(session, kTarnSerialFile), (Lines{"1", "o , 7, 1", "9600,"}));
    EXPECT_TRUE(session.link().IsPortOpen());
}

TEST_F(TarnSetupScripted, APortThatDoesNotOpenAgainLeavesOnlyExit) {
    opensAllowed = opens; // the next open fails
    view().boxes[0] = "20";
    frmTarnSetup::CmdTarnsetupOk_Click(session);
    EXPECT_EQ(dialogs.messages, (Lines{"Open Port Failed!"}));
    EXPECT_EQ(received().back(), "@"); // nothing more went out
    // The reader speaks the new format now: the files say so for the next start.
    EXPECT_EQ(ReadFile(session, kTarnSerialFile), (Lines{"1", "o , 7, 1", "9600,"}));
    EXPECT_EQ(ReadFile(session, kTarnSetupFile).front(), "20");
    EXPECT_FALSE(view().visible);
    EXPECT_FALSE(session.view.isEnabled(Control::cmdRead));
    EXPECT_FALSE(session.view.isEnabled(Control::cmdSetup));
    EXPECT_TRUE(session.view.isEnabled(Control::CmdExit));
}

} // namespace
