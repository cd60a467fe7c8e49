#include "link/PortNumbering.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <utility>

namespace msrw {
namespace {

constexpr int kFirst = 1;
constexpr int kLast = 10;

// "ttyS10" as ("ttyS", 10); a name without trailing digits, or too many of
// them, has the number 0.
std::pair<std::string, int> SplitNumber(const std::string& name) {
    std::size_t i = name.size();
    while (i > 0 && std::isdigit(static_cast<unsigned char>(name[i - 1])))
        --i;
    int number = 0;
    if (std::from_chars(name.data() + i, name.data() + name.size(), number).ec != std::errc())
        number = 0;
    return {name.substr(0, i), number};
}

// N of "COMN" (any case), 0 for any other name.
int ComNumber(const std::string& name) {
    const auto [prefix, number] = SplitNumber(name);
    const bool com = prefix.size() == 3 &&
                     std::toupper(static_cast<unsigned char>(prefix[0])) == 'C' &&
                     std::toupper(static_cast<unsigned char>(prefix[1])) == 'O' &&
                     std::toupper(static_cast<unsigned char>(prefix[2])) == 'M';
    return com && prefix.size() < name.size() ? number : 0;
}

std::vector<OperatorPort> ByComNumber(const std::vector<SystemPort>& listed) {
    std::vector<OperatorPort> out;
    for (const SystemPort& port : listed) {
        const int n = ComNumber(port.name);
        const bool taken = std::any_of(out.begin(), out.end(),
                                       [n](const OperatorPort& p) { return p.number == n; });
        if (n >= kFirst && n <= kLast && !taken)
            out.push_back({n, port.name, port.usb});
    }
    std::sort(out.begin(), out.end(),
              [](const OperatorPort& a, const OperatorPort& b) { return a.number < b.number; });
    return out;
}

std::vector<OperatorPort> InListedOrder(std::vector<SystemPort> listed) {
    std::stable_sort(listed.begin(), listed.end(), [](const SystemPort& a, const SystemPort& b) {
        return SplitNumber(a.name) < SplitNumber(b.name);
    });
    std::vector<OperatorPort> out;
    for (const SystemPort& port : listed) {
        const int n = kFirst + int(out.size());
        if (n > kLast)
            break;
        out.push_back({n, port.name, port.usb});
    }
    return out;
}

} // namespace

std::vector<OperatorPort> OperatorPorts(const std::vector<SystemPort>& listed,
                                        platform::SystemKind system) {
    return system == platform::SystemKind::Windows ? ByComNumber(listed) : InListedOrder(listed);
}

} // namespace msrw
