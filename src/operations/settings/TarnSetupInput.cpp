// frmTarnSetup's controls: how they are filled from the Tarn set-up file and
// the set-up memory, the number boxes' rules, Default, and the buttons'
// enabling.

#include "operations/settings/TarnSetup.h"

#include "files/TarnSetupFile.h"
#include "link/Notation.h"
#include "operations/settings/TarnSetupValues.h"
#include "operations/settings/WholeNumber.h"
#include "session/Session.h"
#include "session/TarnLink.h"

#include <optional>

namespace msrw {
namespace {

constexpr int kKeyBackspace = 8;
// A coercivity byte at or above this is high coercivity ("FF"; low is "34").
constexpr int kHighCoercivityFrom = 170;

// What a number box falls back to, and the values it keeps. The CUSTOM
// leading zero bytes stay well inside a frame; the set-up memory's counts
// are one byte each.
struct BoxRule {
    const char* fallback;
    long long lowest, highest;
};
constexpr std::array<BoxRule, kTarnBoxes> kBoxRules{{
    {"9", 1, 99},
    {"9", 1, 99},
    {"9", 1, 99},
    {"22", 1, 255},
    {"61", 1, 255},
}};

TarnSetupView& View(Session& s) {
    return s.operationState<TarnSetupView>();
}

// The box's text when it holds a value it keeps; its fallback otherwise.
std::string Kept(TarnBox box, const std::string& text) {
    const BoxRule& rule = kBoxRules[std::size_t(box)];
    const std::optional<long long> value = WholeNumberOf(text);
    if (!value || *value < rule.lowest || *value > rule.highest)
        return rule.fallback;
    return std::to_string(*value);
}

std::optional<int> HexByteValue(const std::string& text) {
    if (text.size() != 2 || !IsHexDigitChar(text[0]) || !IsHexDigitChar(text[1]))
        return std::nullopt;
    return HexDigitValue(text[0]) * 16 + HexDigitValue(text[1]);
}

// Selects the position a set-up file value names ("0", "1", ...), or the
// default value's position when it names none.
void SelectByValue(ListControl& list, const std::string& value, const std::string& fallback) {
    const std::optional<long long> position = WholeNumberOf(value);
    if (!position || *position >= (long long)list.items.size() || !list.select(int(*position)))
        (void)list.select(int(*WholeNumberOf(fallback)));
}

// The ten values of the set-up file (in its line order) into the controls.
void ShowSetupLines(TarnSetupView& v, const TarnSetupLines& lines) {
    const TarnSetupLines defaults = DefaultTarnSetup();
    for (std::size_t t = 0; t < 3; ++t) {
        v.boxes[t] = Kept(TarnBox(t), lines[t]);
        SelectByValue(v.cboCustom[t], lines[3 + t], defaults[3 + t]);
        SelectByValue(v.cboTkBpi[t], lines[6 + t], defaults[6 + t]);
    }
}

void ShowSetupMemory(TarnSetupView& v, const GlobalVar::TarnMemoryValues& memory) {
    if (const std::optional<int> byte = HexByteValue(memory.serialFormat))
        if (const std::optional<tarn::SerialFormat> format = tarn::SerialFormatOf(*byte))
            v.serial = *format;
    v.framed = (memory.protocolAndMode & 2) != 0;
    v.modeOne = (memory.protocolAndMode & 1) == 0;
    const std::optional<int> coercivity = HexByteValue(memory.coercivity);
    v.chktarnhico = coercivity && *coercivity >= kHighCoercivityFrom;
    const auto count = [](const std::string& hex) {
        const std::optional<int> value = HexByteValue(hex);
        return value ? std::to_string(*value) : std::string();
    };
    v.box(TarnBox::txt75Lz) = Kept(TarnBox::txt75Lz, count(memory.leadingZero75));
    v.box(TarnBox::txt210Lz) = Kept(TarnBox::txt210Lz, count(memory.leadingZero210));
}

} // namespace

TarnSetupView::TarnSetupView() {
    for (ListControl& list : cboCustom)
        list.items = {"7 bit", "6 bit", "5 bit"};
    for (ListControl& list : cboTkBpi)
        list.items = {"210", "75"};
    ShowSetupLines(*this, DefaultTarnSetup());
}

TarnSetupLines SetupLinesOf(const TarnSetupView& v) {
    TarnSetupLines lines;
    for (std::size_t t = 0; t < 3; ++t) {
        lines[t] = Kept(TarnBox(t), v.boxes[t]);
        lines[3 + t] = std::to_string(std::max(v.cboCustom[t].selected, 0));
        lines[6 + t] = std::to_string(std::max(v.cboTkBpi[t].selected, 0));
    }
    lines[9] = v.framed ? "0" : "1";
    return lines;
}

bool WriteTarnSetupFile(Session& s, const TarnSetupLines& l) {
    return TarnWriteSetting(s, l[0], l[1], l[2], l[3], l[4], l[5], l[6], l[7], l[8], l[9]);
}

void KeepBoxValues(TarnSetupView& v) {
    for (std::size_t b = 0; b < kTarnBoxes; ++b)
        v.boxes[b] = Kept(TarnBox(b), v.boxes[b]);
}

namespace frmTarnSetup {

void ShowSetupInterface(Session& s) {
    TarnSetupView& v = View(s);
    if (s.data.exists(kTarnSetupFile)) {
        TarnSetupLines lines;
        for (std::size_t i = 0; i < lines.size(); ++i)
            lines[i] = TarnReadSetting(s, kTarnSetupKeys[i]);
        ShowSetupLines(v, lines);
    } else {
        ShowSetupLines(v, DefaultTarnSetup());
        CreateTarnSetupFile(s);
    }
    ShowSetupMemory(v, s.g.tarnMemory);
}

int txtBox_KeyPress(int keyAscii) {
    const bool digit = keyAscii >= '0' && keyAscii <= '9';
    return digit || keyAscii == kKeyBackspace ? keyAscii : 0;
}

void txtBox_LostFocus(Session& s, TarnBox box) {
    std::string& text = View(s).box(box);
    text = Kept(box, text);
}

void DisTarnSetupBtn(Session& s) {
    View(s).buttonsEnabled = false;
}

void EnaTarnSetupBtn(Session& s) {
    View(s).buttonsEnabled = true;
}

void CmdTarnDefault_Click(Session& s) {
    TarnSetupView& v = View(s);
    const bool hicoEnabled = v.chktarnhicoEnabled;
    const bool visible = v.visible;
    const bool buttons = v.buttonsEnabled;
    v = TarnSetupView();
    v.chktarnhicoEnabled = hicoEnabled;
    v.visible = visible;
    v.buttonsEnabled = buttons;
}

} // namespace frmTarnSetup

} // namespace msrw
