#pragma once
// Finding the reader on ports 1-10, reopening it before each operation,
// finding the lead-zero-bias fixture, sending the stored card settings after
// a port was opened, the port record, and the pauses between commands.

#include "files/SettingsRecord.h"
#include "link/MsrwDLL.h"
#include "session/MainView.h"
#include "session/PortState.h"

#include <functional>
#include <memory>
#include <optional>

namespace msrw {

class Clock;
class DataFolder;
class OperatorDialogs;

inline constexpr const char* kTarnSerialFile = "\\tarnbaudsetting.bau";
// The port record lives beside the settings record, never over it.
inline constexpr const char* kPortRecordFile = "\\VelkMsrwPort.cfg";

struct PortContext {
    const PortDirectory& ports;
    OperatorDialogs& dialogs;
    Clock& clock;
    const DataFolder& data;
    PortState& state;
    SettingsRecord& settings;
    MainView& view;
    // Draws the view now (empty: nothing to draw), so that a long search
    // shows how far it is.
    const std::function<void()>& render;
};

enum PortStatus : int {
    kPortOk = 0,
    kPortNotFound = -4,
    kLeadingZerosRefused = -6,
};

class PortManager {
public:
    explicit PortManager(PortContext context);
    ~PortManager();

    // Creates the link component once; later calls keep the existing one.
    void SetComm();
    MsrwDLL* link() const { return oMsrwComm.get(); }

    [[nodiscard]] int OpenReader();
    [[nodiscard]] int DetectReader();
    // False when no reader could be opened ("Open Port Failed!" was shown).
    [[nodiscard]] bool ReOpenPort();
    [[nodiscard]] bool OpenFixture();
    [[nodiscard]] int PushCardSettings();
    // The leading zeros of the settings record; values that do not fit a
    // byte are refused with a message. `checkReply`: anything but "\1B0"
    // is reported as "Set Leading Zero failed".
    [[nodiscard]] int SendStoredLeadingZeros(bool checkReply);
    // Entry 7 of the record sent to the reader and shown; true for high
    // coercivity, nullopt (nothing sent) when the entry is neither value.
    std::optional<bool> SendStoredCoercivity();
    [[nodiscard]] bool SaveCommCfgFile();
    void Delay(int ms);
    void Wait(int ms);

    // Reads the Tarn serial settings file into the state; false when missing.
    [[nodiscard]] bool LoadTarnSerialSettings();
    // Writes the state's Tarn port, parity and baud texts to that file. False
    // (the operator told) when it cannot be written.
    [[nodiscard]] bool SaveTarnSerialSettings();

private:
    bool bannerMatches(const std::string& port, const std::string& settings, const char* banner,
                       bool exact);
    void showScanResult(int status);

    PortContext ctx_;
    std::unique_ptr<MsrwDLL> oMsrwComm;
};

} // namespace msrw
