#pragma once
// Sends the stored card format to the reader/writer: coercivity, leading
// zeros and track densities, each command checked for the "\1B0" answer.

#include <optional>
#include <string>
#include <string_view>

namespace msrw {

class Clock;
class FormatStore;
class MsrwDLL;

// Statuses of the device format commands; 0 is success.
enum DeviceFormatStatus : int {
    kFormatOk = 0,
    kFormatLeadingZerosFailed = -6,
    kFormatTk1BpiFailed = -7,
    kFormatTk2BpiFailed = -8,
    kFormatTk3BpiFailed = -9,
    kFormatHiCoFailed = -11,
};

// Which pair of leading-zero boxes a command carries: the Format frame's
// 210/75 BPI boxes, or the Pass Book box with the Format frame's 75 BPI box.
enum class LeadingZerosFor { Format, PassBook };

// Why the leading zeros cannot be sent: each must be a whole number from 0 to
// 255, the one byte the command has for it. nullopt when they can be sent.
// SendLeadz and SendLeadz_Pb return -6 without sending anything in that case;
// the caller shows this text instead of its usual failure message.
std::optional<std::string> LeadingZerosProblem(const FormatStore& format, LeadingZerosFor which);

class DeviceFormat {
public:
    DeviceFormat(MsrwDLL& link, const FormatStore& format, Clock& clock);

    [[nodiscard]] int SendHiCo();     // "\1Bx" when chkhico is checked, "\1By" otherwise; -11
    [[nodiscard]] int SendLeadz();    // txt210Leadz and txt75Leadz; -6
    [[nodiscard]] int SendLeadz_Pb(); // txt210Leadz_Pb and txt75Leadz; -6
    int SendTk1Bpi();                 // -7
    int SendTk2Bpi();                 // -8
    int SendTk3Bpi();                 // -9

    // Brings the device back in line with the store, 200 ms between steps;
    // a pass-book card is set to 210 BPI on all tracks. Returns 0, or the
    // first failing step's status (callers need not look at it).
    [[nodiscard]] int Restore_Setting(std::string_view cardType);

private:
    [[nodiscard]] int send(const std::optional<std::string>& command, int failure);
    [[nodiscard]] int sendLeadingZeros(LeadingZerosFor which);
    [[nodiscard]] int sendDensity(int track, std::optional<int> bitsPerInch);
    [[nodiscard]] int sendStoredDensity(int track);

    MsrwDLL& link_;
    const FormatStore& format_;
    Clock& clock_;
};

} // namespace msrw
