#include "session/DeviceFormat.h"

#include "files/SettingsFile.h"
#include "link/Clock.h"
#include "link/MsrwDLL.h"
#include "protocol/CommandSet.h"
#include "protocol/ReplyClassification.h"
#include "session/FormatStore.h"

#include <array>

namespace msrw {
namespace {

constexpr int kStepPauseMs = 200;
constexpr int kPassBookBpi = 210;
constexpr int kMaxLeadingZeros = 255; // one byte in the command

// The boxes a leading-zero command carries: 210 BPI first, then 75 BPI.
std::array<LeadingZeroBox, 2> BoxesFor(const FormatStore& format, LeadingZerosFor which) {
    const std::array<LeadingZeroBox, 3> all = format.leadingZeroBoxes();
    return {{which == LeadingZerosFor::PassBook ? all[2] : all[0], all[1]}};
}

constexpr std::array<int, 3> kDensityFailures{kFormatTk1BpiFailed, kFormatTk2BpiFailed,
                                              kFormatTk3BpiFailed};

} // namespace

std::optional<std::string> LeadingZerosProblem(const FormatStore& format, LeadingZerosFor which) {
    for (const LeadingZeroBox& box : BoxesFor(format, which)) {
        const std::optional<int> value = ParseSettingLine(box.text);
        if (!value || *value < 0 || *value > kMaxLeadingZeros)
            return "Leading zeros at " + std::string(box.name) + " must be a number from 0 to " +
                   std::to_string(kMaxLeadingZeros) + ", not \"" + box.text + "\".";
    }
    return std::nullopt;
}

DeviceFormat::DeviceFormat(MsrwDLL& link, const FormatStore& format, Clock& clock)
    : link_(link), format_(format), clock_(clock) {}

int DeviceFormat::send(const std::optional<std::string>& command, int failure) {
    // A builder that refused its values: nothing goes out rather than a
    // command the device would misread.
    if (!command)
        return failure;
    return reply::IsStatusOk(link_.Query(*command)) ? kFormatOk : failure;
}

int DeviceFormat::SendHiCo() {
    return send(format_.chkhico ? cmd::SelectHighCoercivity() : cmd::SelectLowCoercivity(),
                kFormatHiCoFailed);
}

int DeviceFormat::sendLeadingZeros(LeadingZerosFor which) {
    const std::array<LeadingZeroBox, 2> boxes = BoxesFor(format_, which);
    const std::optional<int> at210 = ParseSettingLine(boxes[0].text);
    const std::optional<int> at75 = ParseSettingLine(boxes[1].text);
    std::optional<std::string> command;
    if (at210 && at75)
        command = cmd::SetLeadingZeros(*at210, *at75);
    return send(command, kFormatLeadingZerosFailed);
}

int DeviceFormat::SendLeadz() {
    return sendLeadingZeros(LeadingZerosFor::Format);
}
int DeviceFormat::SendLeadz_Pb() {
    return sendLeadingZeros(LeadingZerosFor::PassBook);
}

int DeviceFormat::sendDensity(int track, std::optional<int> bitsPerInch) {
    std::optional<std::string> command;
    if (bitsPerInch)
        command = cmd::SetDensity(static_cast<cmd::Track>(track), *bitsPerInch);
    return send(command, kDensityFailures[static_cast<std::size_t>(track - 1)]);
}

int DeviceFormat::sendStoredDensity(int track) {
    return sendDensity(track,
                       ParseSettingLine(format_.bpi[static_cast<std::size_t>(track - 1)].text()));
}

int DeviceFormat::SendTk1Bpi() {
    return sendStoredDensity(1);
}
int DeviceFormat::SendTk2Bpi() {
    return sendStoredDensity(2);
}
int DeviceFormat::SendTk3Bpi() {
    return sendStoredDensity(3);
}

int DeviceFormat::Restore_Setting(std::string_view cardType) {
    int first = kFormatOk;
    const auto step = [&](int status) {
        if (first == kFormatOk)
            first = status;
    };
    clock_.Delay(kStepPauseMs);
    step(SendHiCo());
    clock_.Delay(kStepPauseMs);
    if (cardType == "PASS BOOK") {
        step(SendLeadz_Pb());
        for (int track = 1; track <= 3; ++track)
            step(sendDensity(track, kPassBookBpi));
        return first;
    }
    step(SendLeadz());
    clock_.Delay(kStepPauseMs);
    step(SendTk2Bpi());
    clock_.Delay(kStepPauseMs);
    step(SendTk1Bpi());
    clock_.Delay(kStepPauseMs);
    step(SendTk3Bpi());
    return first;
}

} // namespace msrw
