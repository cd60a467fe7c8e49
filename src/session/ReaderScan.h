#pragma once
// Finding the reader on ports 1-10: the remembered port first, then every
// port from 1, each tried with the banner and the communication test. No
// window is involved, so the console face finds the reader the same way.

#include <QString>
#include <functional>
#include <string>

namespace msrw {

class Clock;
class MsrwDLL;
struct PortState;
struct SettingsRecord;

inline constexpr const char* kNoReaderMessage = "Could not detect Magstripe Reader/Writer!";

// A remembered port number (1-10), or 0 when it names no port.
int RememberedPort(int value);

// Why no reader was found on `port`, as the link tells it: the port would
// not open (missing, busy, not a serial port), stayed silent, or answered
// as no reader does.
QString NoReaderCause(MsrwDLL& link, int port);

class ReaderScan {
public:
    ReaderScan(MsrwDLL& link, Clock& clock, PortState& state, SettingsRecord& settings);

    // True when a reader answered: the port is left open, CurrentPort,
    // ReaderFound and entry 0 of the record name it. `trying` is told each
    // port before it is tried.
    [[nodiscard]] bool DetectReader(const std::function<void(int port)>& trying = {});
    // The banner of the reader found.
    const std::string& banner() const { return banner_; }

private:
    bool tryReaderAt(int port);

    MsrwDLL& link_;
    Clock& clock_;
    PortState& state_;
    SettingsRecord& settings_;
    std::string banner_;
};

} // namespace msrw
