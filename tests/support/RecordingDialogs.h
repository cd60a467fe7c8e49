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
    // Answers of questions and of the Open dialog, in order; when they run
    // out, the operator says no and cancels.
    std::deque<bool> yesNoAnswers;
    std::deque<std::optional<std::string>> openFileAnswers;
    std::vector<std::string> openFileFolders; // where each Open dialog started

    void showMessage(const std::string& text, MessageIcon, const std::string&) override {
        messages.push_back(text);
    }
    bool askYesNo(const std::string& text, const std::string&) override {
        messages.push_back(text);
        return Take(yesNoAnswers, false);
    }
    template <typename T> static T Take(std::deque<T>& answers, T otherwise) {
        if (answers.empty())
            return otherwise;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::string> askText(const std::string& prompt, const std::string&) override {
        messages.push_back(prompt);
        if (textAnswers.empty())
            return std::nullopt;
        auto answer = textAnswers.front();
        textAnswers.pop_front();
        return answer;
    }
    std::optional<std::string> chooseOpenFile(const std::string& folder,
                                              const std::string&) override {
        openFileFolders.push_back(folder);
        return Take(openFileAnswers, std::optional<std::string>());
    }
    std::optional<std::string> chooseSaveFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

} // namespace msrw::test
