#include "sim/MaintenanceCommands.h"

#include "sim/Device.h"

namespace msrw::sim {

std::string FixtureMeasureReply(const VirtualCard& card) {
    std::string out;
    for (std::size_t i = 0; i < card.tracks.size(); ++i) {
        out += {kEsc, static_cast<char>(i + 1)};
        const auto first = card.tracks[i].firstOne();
        out += first ? std::to_string(*first) : std::string{kEsc, '+'};
    }
    return out + "?\x1C" + kEsc + '0';
}

bool Device::lowCoercivityOnly() const {
    return tarn_.memory(kLockAddress) == kLowCoOnly;
}

void Device::setLowCoercivityOnly(bool on) {
    tarn_.setMemory(kLockAddress, on ? kLowCoOnly : 0x00);
    if (on)
        settings_.coercivity = Coercivity::Low;
}

void Device::armFixtureMeasure() {
    arm([](VirtualCard& card) { return FixtureMeasureReply(card); });
}

} // namespace msrw::sim
