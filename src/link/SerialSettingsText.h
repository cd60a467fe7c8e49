#pragma once
// Parsing of the serial settings texts that the program passes when it opens
// a port: "9600" + "n , 8, 1", "9600N,8,1", "9600,N,8,1", "9600," + "o , 7, 1".

#include "link/SerialSettings.h"

#include <optional>
#include <string_view>

namespace msrw {

std::optional<SerialSettings> ParseSerialSettings(std::string_view text);

} // namespace msrw
