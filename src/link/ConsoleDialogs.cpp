#include "link/ConsoleDialogs.h"

#include <cstdio>

namespace msrw {

void ConsoleDialogs::showMessage(const std::string& text, MessageIcon, const std::string&) {
    shown_.push_back(text);
    std::fprintf(stderr, "%s\n", text.c_str());
}

bool ConsoleDialogs::askYesNo(const std::string& text, const std::string&) {
    showMessage(text + " (answered no)", MessageIcon::None, {});
    return false;
}

std::optional<std::string> ConsoleDialogs::askText(const std::string& prompt, const std::string&) {
    showMessage(prompt + " (no input in console mode)", MessageIcon::None, {});
    return std::nullopt;
}

std::optional<std::string> ConsoleDialogs::chooseOpenFile(const std::string&, const std::string&) {
    return std::nullopt;
}

std::optional<std::string> ConsoleDialogs::chooseSaveFile(const std::string&, const std::string&) {
    return std::nullopt;
}

} // namespace msrw
