#include "operations/settings/CfgDialog.h"

#include "link/OperatorDialogs.h"
#include "operations/settings/WholeNumber.h"
#include "session/MainControls.h"
#include "session/Session.h"

#include <optional>

namespace msrw {
namespace {

constexpr int kMostInAByte = 255;

struct FieldRule {
    const char* name; // as the frame captions name it
    long long limit;
    const char* message;
    const char* replacement;
};

// By CfgField.
constexpr std::array<FieldRule, kCfgFields> kFieldRules{{
    {"LowCo Index", 255, "Low Coercivity Index should less than 256", "34"},
    {"HiCo Index", 255, "High Coercivity Index should less than 256", "255"},
    {"75 BPI LZ", 999, "Leading zero should less than 1000", "24"},
    {"210 BPI Leading Zeros", 999, "Leading zero should less than 1000", "68"},
}};

// SetCcfgXXXX: mode "Ormond Mode", 9600 baud, "N,8,1", and the indexes and
// leading zeros the reader/writer ships with.
constexpr int kDefaultMode = 2;
constexpr int kDefaultBaud = 3;
constexpr int kDefaultLine = 0;
constexpr int kOddLine = 3;
constexpr std::array<const char*, kCfgFields> kDefaultFields{"44", "126", "33", "55"};

ListControl Filled(std::vector<std::string> items) {
    ListControl list;
    list.items = std::move(items);
    return list;
}

CfgView& View(Session& s) {
    return s.operationState<CfgView>();
}

// CfgDispToVal: the three chosen list texts become the session's.
void CfgDispToVal(Session& s) {
    const CfgView& v = View(s);
    s.port.BaudText = v.cboBaudRate.text();
    s.port.LineSettings = v.cboParity.text();
    const std::optional<MsrwMode> mode = MsrwModeFromName(v.cboMsrwMode.text());
    frmCfg::MakeMsrwModeCurrent(s, mode.value_or(s.port.MsrwMode));
}

// Opens the port in use with `settings`; true when it opened. A failure is
// told the operator, naming the port, and no port record is written.
bool OpenAndRecord(Session& s, const std::string& settings) {
    const std::string port = std::to_string(s.port.CurrentPort);
    MsrwDLL& link = s.link();
    if (link.OpenPort(port, settings) != kLinkOk) {
        s.dialogs.showMessage("Could not open port " + port + " with " + settings + ": " +
                                  link.lastError().toStdString() +
                                  " The port settings were not saved.",
                              MessageIcon::Warning);
        return false;
    }
    return s.portManager.SaveCommCfgFile(); // a failed write has been shown
}

// Save's checks: a choice in each serial list, and fields that fit a byte.
std::optional<std::string> SaveProblem(const CfgView& v) {
    if (v.cboMsrwMode.selected < 0 || v.cboBaudRate.selected < 0 || v.cboParity.selected < 0)
        return "Please choose the MSRW mode, the baud rate and the serial parameters.";
    for (std::size_t i = 0; i < kCfgFields; ++i) {
        const std::optional<long long> value = WholeNumberOf(v.fields[i]);
        if (!value || *value > kMostInAByte)
            return std::string(kFieldRules[i].name) + " must be a number from 0 to 255 (the " +
                   "default is " + kDefaultFields[i] + "), not \"" + v.fields[i] + "\".";
    }
    return std::nullopt;
}

} // namespace

void cmdConfig_Click(Session& s) {
    DisMainBtns(s.view);
    s.view.mainVisible = false;
    frmCfg::Form_Load(s);
    View(s).visible = true;
}

namespace frmCfg {

void Form_Load(Session& s) {
    CfgView& v = View(s);
    if (v.loaded)
        return;
    v.cboMsrwMode = Filled({"Velk Mode", "Quell Mode", "Ormond Mode", "Pellam Mode"});
    v.cboBaudRate = Filled({"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"});
    v.cboParity = Filled({"N,8,1", "N,7,1", "E,7,1", "O,7,1", "M,7,1", "S,7,1"});
    v.cboSelHiLo = Filled({"High Coercivity", "Low Coercivity"});
    v.cboTrkMode = Filled({"Data Only", "Data & SS & ES", "Data & SS & ES & LRC"});
    v.loaded = true;
}

void cboMsrwMode_Click(Session& s, int position) {
    CfgView& v = View(s);
    if (!v.cboMsrwMode.select(position))
        return;
    const std::optional<MsrwMode> mode = MsrwModeFromName(v.cboMsrwMode.text());
    if (mode == MsrwMode::Ormond || mode == MsrwMode::Quell) {
        v.cboBaudRate.select(kDefaultBaud);
        v.cboParity.select(mode == MsrwMode::Ormond ? kDefaultLine : kOddLine);
    }
}

void txtField_Change(Session& s, CfgField field, const std::string& text) {
    const FieldRule& rule = kFieldRules[std::size_t(field)];
    std::string& stored = View(s).fields[std::size_t(field)];
    stored = text;
    const std::optional<long long> value = WholeNumberOf(text);
    if (value && *value > rule.limit) {
        s.dialogs.showMessage(rule.message);
        stored = rule.replacement;
    }
}

void cmdCfgDefault_Click(Session& s) {
    CfgView& v = View(s);
    v.cboMsrwMode.select(kDefaultMode);
    v.cboBaudRate.select(kDefaultBaud);
    v.cboParity.select(kDefaultLine);
    for (std::size_t i = 0; i < kCfgFields; ++i)
        v.fields[i] = kDefaultFields[i];
    CfgDispToVal(s);
    if (OpenAndRecord(s, s.port.BaudText + s.port.LineSettings)) {
        s.redraw(); // the operator reads the message over the values it speaks of
        s.dialogs.showMessage("Reset Reader success!");
    }
}

void MakeMsrwModeCurrent(Session& s, MsrwMode mode) {
    s.setMsrwMode(mode);
    UpdateMainDisp(s.view, mode);
}

void cmdCfgSave_Click(Session& s) {
    CfgView& v = View(s);
    if (const std::optional<std::string> problem = SaveProblem(v)) {
        s.dialogs.showMessage(*problem, MessageIcon::Warning);
        return;
    }
    for (std::size_t i = 0; i < kCfgFields; ++i)
        v.savedFields[i] = static_cast<std::uint8_t>(*WholeNumberOf(v.fields[i]));
    CfgDispToVal(s);
    // A failure has been shown; the mode chosen holds either way.
    (void)OpenAndRecord(s, s.port.BaudText + "," + s.port.LineSettings);
}

void cmdCfgClose_Click(Session& s) {
    EnaMainBtns(s.view, s.port.MsrwMode);
    View(s).visible = false;
    s.view.mainVisible = true;
}

} // namespace frmCfg

} // namespace msrw
