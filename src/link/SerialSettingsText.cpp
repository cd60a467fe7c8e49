#include "link/SerialSettingsText.h"

#include <cctype>
#include <string>
#include <vector>

namespace msrw {
namespace {

// Splits "N , 8, 1" or "N81" into its parts: letters and digit runs, with
// blanks and commas only separating them.
std::vector<std::string> Tokens(std::string_view text) {
    std::vector<std::string> out;
    std::string digits;
    auto flush = [&] {
        if (!digits.empty())
            out.push_back(digits);
        digits.clear();
    };
    for (const char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits += c;
        } else {
            flush();
            if (std::isalpha(static_cast<unsigned char>(c)))
                out.emplace_back(1, char(std::toupper(static_cast<unsigned char>(c))));
            else if (c != ' ' && c != ',' && c != '\t')
                out.emplace_back(1, '?');
        }
    }
    flush();
    return out;
}

bool IsKnownParity(char c) {
    return c == 'N' || c == 'E' || c == 'O' || c == 'M' || c == 'S';
}

} // namespace

std::optional<SerialSettings> ParseSerialSettings(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    const std::size_t baudStart = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
        ++i;
    if (i == baudStart || i - baudStart > 7)
        return std::nullopt;
    SerialSettings s;
    s.baud = std::stoi(std::string(text.substr(baudStart, i - baudStart)));
    if (s.baud <= 0)
        return std::nullopt;

    bool haveParity = false;
    int numbersSeen = 0;
    for (const std::string& token : Tokens(text.substr(i))) {
        if (std::isalpha(static_cast<unsigned char>(token[0])) && !haveParity &&
            IsKnownParity(token[0])) {
            s.parity = token[0];
            haveParity = true;
        } else if (std::isdigit(static_cast<unsigned char>(token[0])) && numbersSeen < 2 &&
                   token.size() == 1) {
            (numbersSeen == 0 ? s.dataBits : s.stopBits) = token[0] - '0';
            ++numbersSeen;
        } else {
            return std::nullopt;
        }
    }
    if (s.dataBits < 5 || s.dataBits > 8 || (s.stopBits != 1 && s.stopBits != 2))
        return std::nullopt;
    return s;
}

} // namespace msrw
