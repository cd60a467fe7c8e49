#pragma once
// Shared state of the device link: which port, how it is opened, which mode.

#include "protocol/MsrwMode.h"

#include <array>
#include <cstdint>
#include <string>

namespace msrw {

struct PortState {
    std::uint8_t CurrentPort = 0;
    bool ReaderFound = false;
    std::int16_t FixturePort = 0;
    std::string CommLine;
    std::string BaudText = "9600";
    std::string LineSettings = "S,7,1";
    msrw::MsrwMode MsrwMode = msrw::MsrwMode::Ormond;
    std::string TarnPortText, TarnParityText, TarnBaudText;
};

} // namespace msrw
