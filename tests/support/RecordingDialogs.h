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
    // Files chosen, in turn (none left: cancelled), and the folder each
    // dialog started in; OK (true) or Cancel for each OK/Cancel question.
    std::deque<std::optional<std::string>> fileAnswers;
    std::vector<std::string> fileDialogStarts;
    std::deque<bool> okCancelAnswers;

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
    bool askOkCancel(const std::string& text, MessageIcon, const std::string&) override {
        messages.push_back(text);
        return take(okCancelAnswers).value_or(false);
    }
    std::optional<std::string> chooseOpenFile(const std::string& start,
                                              const std::string&) override {
        fileDialogStarts.push_back(start);
        return take(fileAnswers).value_or(std::nullopt);
    }
    std::optional<std::string> chooseSaveFile(const std::string& start,
                                              const std::string&) override {
        fileDialogStarts.push_back(start);
        return take(fileAnswers).value_or(std::nullopt);
    }

private:
    template <typename T> static std::optional<T> take(std::deque<T>& answers) {
        if (answers.empty())
            return std::nullopt;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace msrw::test
