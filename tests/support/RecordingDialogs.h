#pragma once
// Operator dialogs for tests: records what was shown, answers from a script.

#include "link/OperatorDialogs.h"

#include <deque>
#include <string>
#include <vector>

namespace msrw::test {

class RecordingDialogs : public OperatorDialogs {
public:
    std::vector<std::string> messages;
    std::deque<std::optional<std::string>> textAnswers;

    void showMessage(const std::string& text, MessageIcon, const std::string&) override {
        messages.push_back(text);
    }
    bool askYesNo(const std::string& text, const std::string&) override {
        messages.push_back(text);
        return false;
    }
    std::optional<std::string> askText(const std::string& prompt, const std::string&) override {
        messages.push_back(prompt);
        if (textAnswers.empty())
            return std::nullopt;
        auto answer = textAnswers.front();
        textAnswers.pop_front();
        return answer;
    }
    std::optional<std::string> chooseOpenFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseSaveFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

} // namespace msrw::test
