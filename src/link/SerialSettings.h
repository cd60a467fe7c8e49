#pragma once
// Serial line parameters, parsed from the settings texts the program passes
// ("9600N,8,1", "9600,o , 7, 1", ...).

namespace msrw {

struct SerialSettings {
    int baud = 9600;
    char parity = 'N'; // N, E, O, M or S
    int dataBits = 8;
    int stopBits = 1;

    bool operator==(const SerialSettings&) const = default;
};

} // namespace msrw
