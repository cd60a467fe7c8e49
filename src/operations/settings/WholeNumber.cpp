#include "operations/settings/WholeNumber.h"

#include <algorithm>

namespace msrw {

std::optional<long long> WholeNumberOf(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::nullopt;
    const std::size_t last = text.find_last_not_of(' ');
    long long value = 0;
    for (std::size_t i = first; i <= last; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = std::min(value * 10 + (c - '0'), kWholeNumberCeiling);
    }
    return value;
}

} // namespace msrw
