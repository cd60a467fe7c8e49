#include "console/ConsoleAnswers.h"

#include <algorithm>

namespace msrw::console {
namespace {

// A question as one line: its line breaks (CR LF, LF CR) become " / ".
std::string OneLine(const std::string& text) {
    std::string out;
    bool inBreak = false;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            if (!inBreak)
                out += " / ";
            inBreak = true;
            continue;
        }
        inBreak = false;
        out += c;
    }
    return out;
}

bool Begins(const std::string& text, const std::string& opening) {
    return text.compare(0, opening.size(), opening) == 0;
}

} // namespace

void ConsoleAnswers::answer(std::string opening, bool yes) {
    // Before any entry that only names the options for the same question.
    answers_.insert(answers_.begin(), {std::move(opening), yes, {}});
}

void ConsoleAnswers::answeredBy(std::string opening, std::string options) {
    answers_.push_back({std::move(opening), std::nullopt, std::move(options)});
}

bool ConsoleAnswers::askYesNo(const std::string& text, const std::string&) {
    return ask(text);
}

bool ConsoleAnswers::askOkCancel(const std::string& text, MessageIcon, const std::string&) {
    return ask(text);
}

bool ConsoleAnswers::ask(const std::string& text) {
    const auto known = std::find_if(answers_.begin(), answers_.end(),
                                    [&](const Answer& a) { return Begins(text, a.opening); });
    if (known != answers_.end() && known->yes)
        return *known->yes;
    std::string message = "The operation asks \"" + OneLine(text) + "\"; ";
    message += known != answers_.end() ? "give " + known->options + " to answer it"
                                       : "no option answers it";
    showMessage(message + ". The run ends here.", MessageIcon::Critical, {});
    if (!unanswered_)
        unanswered_ = text;
    if (throwing_)
        throw UnansweredQuestion();
    return false;
}

std::optional<std::string> ConsoleAnswers::chooseOpenFile(const std::string&, const std::string&) {
    return file_;
}

std::optional<std::string> ConsoleAnswers::chooseSaveFile(const std::string&, const std::string&) {
    return file_;
}

void ConsoleAnswers::showMessage(const std::string& text, MessageIcon icon,
                                 const std::string& title) {
    if (icon == MessageIcon::Critical)
        ++criticalShown_;
    ConsoleDialogs::showMessage(text, icon, title);
}

bool ConsoleAnswers::wasShown(const std::string& text) const {
    return std::find(shown().begin(), shown().end(), text) != shown().end();
}

} // namespace msrw::console
