#include "console/CardRunOptions.h"

#include <algorithm>
#include <cctype>

namespace msrw::console {
namespace {

struct VerbEntry {
    Verb verb;
    const char* name;
};

constexpr std::array<VerbEntry, 8> kVerbs{{
    {Verb::Read, "read"},
    {Verb::Compare, "compare"},
    {Verb::Write, "write"},
    {Verb::Erase, "erase"},
    {Verb::Sequential, "sequential"},
    {Verb::ToFile, "to-file"},
    {Verb::FromFile, "from-file"},
    {Verb::Database, "database"},
}};

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

} // namespace

std::optional<Verb> CardVerbNamed(const std::string& name) {
    for (const VerbEntry& e : kVerbs) {
        if (name == e.name)
            return e.verb;
    }
    return std::nullopt;
}

const char* VerbName(Verb verb) {
    for (const VerbEntry& e : kVerbs) {
        if (e.verb == verb)
            return e.name;
    }
    return "";
}

std::optional<int> TrackSelectNamed(const std::string& text) {
    if (text == "2")
        return 0;
    if (text == "12")
        return 1;
    if (text == "123")
        return 2;
    return std::nullopt;
}

std::optional<std::array<bool, 3>> TrackListNamed(const std::string& text) {
    std::array<bool, 3> chosen{};
    bool expectDigit = true;
    for (const char c : text) {
        if (expectDigit && c >= '1' && c <= '3' && !chosen[std::size_t(c - '1')]) {
            chosen[std::size_t(c - '1')] = true;
            expectDigit = false;
        } else if (!expectDigit && c == ',') {
            expectDigit = true;
        } else {
            return std::nullopt;
        }
    }
    if (expectDigit)
        return std::nullopt; // empty, or ending in a comma
    return chosen;
}

std::optional<std::string> ModeNamed(const std::string& text) {
    std::string word = Lowered(text);
    if (word.size() > 5 && word.substr(word.size() - 5) == " mode")
        word.resize(word.size() - 5);
    for (const char* name : {"Ormond", "Velk", "Quell"}) {
        if (word == Lowered(name))
            return std::string(name) + " Mode";
    }
    return std::nullopt;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return Lowered(a) == Lowered(b);
}

std::optional<std::int64_t> CountNamed(const std::string& text, std::int64_t least,
                                       std::int64_t most) {
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < least || value > most)
        return std::nullopt;
    return value;
}

} // namespace msrw::console
