// The Tarn set-up dialog's logic: how it is filled from the set-up file and
// the reader's set-up memory, its number boxes, Default, and the exchanges
// of Setup, OK and Cancel with the simulated reader/writer.

#include "files/TarnSetupFile.h"
#include "operations/settings/TarnSetup.h"
#include "support/CardsSession.h"

#include <gtest/gtest.h>

using namespace msrw;
using namespace msrw::test;
using tarn::TarnParity;

namespace {

using Lines = std::vector<std::string>;

void WriteFile(Session& s, const char* name, const Lines& lines) {
    QString error;
    ASSERT_TRUE(s.data.writeLines(name, lines, error)) << error.toStdString();
}

Lines ReadFile(const Session& s, const char* name) {
    return s.data.readLines(name).value_or(Lines{"(missing)"});
}

std::array<int, 3> Positions(const std::array<ListControl, 3>& lists) {
    return {lists[0].selected, lists[1].selected, lists[2].selected};
}

// The dialog's logic without a reader: what it shows and how it takes input.
class TarnSetupControls : public CardsSession {
protected:
    TarnSetupView& view() { return session.operationState<TarnSetupView>(); }
};

TEST_F(TarnSetupControls, BoxesTakeDigitsAndBackspaceOnly) {
    for (const int key : {int('0'), int('5'), int('9'), 8})
        EXPECT_EQ(frmTarnSetup::txtBox_KeyPress(key), key) << key;
    for (const int key : {int('a'), int('-'), int(' '), int('.'), 127, 13, int('/'), int(':')})
        EXPECT_EQ(frmTarnSetup::txtBox_KeyPress(key), 0) << key;
}

TEST_F(TarnSetupControls, ABoxLeftEmptyOrOutOfRangeTakesItsDefault) {
    struct Case {
        TarnBox box;
        const char* typed;
        const char* kept;
    };
    const std::vector<Case> cases{
        {TarnBox::txtLzT1, "", "9"},
        {TarnBox::txtLzT2, "0", "9"},
        {TarnBox::txtLzT3, "100", "9"},
        {TarnBox::txtLzT1, "99", "99"},
        {TarnBox::txtLzT2, "007", "7"},
        {TarnBox::txt75Lz, "", "22"},
        {TarnBox::txt75Lz, "256", "22"},
        {TarnBox::txt75Lz, "255", "255"},
        {TarnBox::txt210Lz, "0", "61"},
        {TarnBox::txt210Lz, "1", "1"},
        {TarnBox::txt210Lz, "99999999999999999999", "61"},
    };
    for (const Case& c : cases) {
        view().box(c.box) = c.typed;
        frmTarnSetup::txtBox_LostFocus(session, c.box);
        EXPECT_EQ(view().box(c.box), c.kept) << int(c.box) << " " << c.typed;
    }
}

TEST_F(TarnSetupControls, TheSetupFileFillsTheTrackControlsAndDamagedLinesTakeDefaults) {
    WriteFile(session, kTarnSetupFile, {"12", "7", "5", "1", "0", "2", "1", "1", "0", "0"});
    frmTarnSetup::ShowSetupInterface(session);
    EXPECT_EQ(view().boxes[0], "12");
    EXPECT_EQ(view().boxes[1], "7");
    EXPECT_EQ(view().boxes[2], "5");
    EXPECT_EQ(Positions(view().cboCustom), (std::array<int, 3>{1, 0, 2}));
    EXPECT_EQ(view().cboCustom[0].text(), "6 bit");
    EXPECT_EQ(Positions(view().cboTkBpi), (std::array<int, 3>{1, 1, 0}));
    EXPECT_EQ(view().cboTkBpi[0].text(), "75");

    WriteFile(session, kTarnSetupFile, {"abc", "0", "300", "9", "x", "", "2", "1", "-1", "1"});
    frmTarnSetup::ShowSetupInterface(session);
    EXPECT_EQ(view().boxes[0], "9");
    EXPECT_EQ(view().boxes[1], "9");
    EXPECT_EQ(view().boxes[2], "9");
    EXPECT_EQ(Positions(view().cboCustom), (std::array<int, 3>{0, 2, 2}));
    EXPECT_EQ(Positions(view().cboTkBpi), (std::array<int, 3>{0, 1, 0}));
}

TEST_F(TarnSetupControls, WithoutASetupFileTheDefaultsAreShownAndWritten) {
    view().boxes[0] = "42";
    (void)view().cboTkBpi[1].select(0);
    frmTarnSetup::ShowSetupInterface(session);
    EXPECT_EQ(ReadFile(session, kTarnSetupFile),
              (Lines{"9", "9", "9", "0", "2", "2", "0", "1", "0", "1"}));
    EXPECT_EQ(view().boxes[0], "9");
    EXPECT_EQ(Positions(view().cboTkBpi), (std::array<int, 3>{0, 1, 0}));
}

TEST_F(TarnSetupControls, TheSetupMemorySelectsTheOptions) {
    struct Case {
        const char *serial, *coercivity, *lz75, *lz210;
        int protocolAndMode;
        int baud;
        TarnParity parity;
        bool framed, modeOne, hico;
        const char *box75, *box210;
    };
    const std::vector<Case> cases{
        {"19", "34", "16", "3D", 1, 9600, TarnParity::Space, false, false, false, "22", "61"},
        {"00", "FF", "14", "40", 0, 19200, TarnParity::Odd, false, true, true, "20", "64"},
        {"0A", "AA", "01", "FF", 2, 4800, TarnParity::Even, true, true, true, "1", "255"},
        {"14", "A9", "00", "", 3, 1200, TarnParity::Mark, true, false, false, "22", "61"},
        {"0B", "", "zz", "3", 1, 2400, TarnParity::Even, false, false, false, "22", "61"},
        // No such baud code: the options stay as they were (the defaults here).
        {"07", "34", "16", "3D", 1, 9600, TarnParity::Odd, false, false, false, "22", "61"},
        {"", "34", "16", "3D", 1, 9600, TarnParity::Odd, false, false, false, "22", "61"},
    };
    for (const Case& c : cases) {
        view() = TarnSetupView();
        GlobalVar::TarnMemoryValues& memory = session.g.tarnMemory;
        memory.serialFormat = c.serial;
        memory.coercivity = c.coercivity;
        memory.leadingZero75 = c.lz75;
        memory.leadingZero210 = c.lz210;
        memory.protocolAndMode = c.protocolAndMode;
        frmTarnSetup::ShowSetupInterface(session);
        const TarnSetupView& v = view();
        EXPECT_EQ(v.serial.baud, c.baud) << c.serial;
        EXPECT_EQ(v.serial.parity, c.parity) << c.serial;
        EXPECT_EQ(v.framed, c.framed) << c.protocolAndMode;
        EXPECT_EQ(v.modeOne, c.modeOne) << c.protocolAndMode;
        EXPECT_EQ(v.chktarnhico, c.hico) << c.coercivity;
        EXPECT_EQ(v.box(TarnBox::txt75Lz), c.box75) << c.lz75;
        EXPECT_EQ(v.box(TarnBox::txt210Lz), c.box210) << c.lz210;
    }
}

TEST_F(TarnSetupControls, DefaultSetsEveryControlButKeepsTheCoercivityBoxAvailability) {
    TarnSetupView& v = view();
    v.visible = true;
    v.chktarnhicoEnabled = false;
    v.boxes = {"1", "2", "3", "4", "5"};
    for (std::size_t t = 0; t < 3; ++t) {
        (void)v.cboCustom[t].select(1);
        (void)v.cboTkBpi[t].select(t == 1 ? 0 : 1);
    }
    v.serial = {1200, TarnParity::Space};
    v.framed = true;
    v.modeOne = true;
    v.chktarnhico = true;
    frmTarnSetup::CmdTarnDefault_Click(session);
    EXPECT_EQ(v.boxes, (std::array<std::string, kTarnBoxes>{"9", "9", "9", "22", "61"}));
    EXPECT_EQ(Positions(v.cboCustom), (std::array<int, 3>{0, 2, 2}));
    EXPECT_EQ(Positions(v.cboTkBpi), (std::array<int, 3>{0, 1, 0}));
    EXPECT_EQ(v.serial.baud, 9600);
    EXPECT_EQ(v.serial.parity, TarnParity::Odd);
    EXPECT_FALSE(v.framed);
    EXPECT_FALSE(v.modeOne);
    EXPECT_FALSE(v.chktarnhico);
    EXPECT_FALSE(v.chktarnhicoEnabled);
    EXPECT_TRUE(v.visible);
    EXPECT_EQ(frmTarnSetup::LeadingZero75(v), "16");
    EXPECT_EQ(frmTarnSetup::LeadingZero210(v), "3D");
    EXPECT_EQ(frmTarnSetup::BaudValue(v), "01");
    EXPECT_EQ(frmTarnSetup::ProtocolValue(v), "01");
}

} // namespace
