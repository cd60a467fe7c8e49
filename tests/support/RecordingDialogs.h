#pragma once
// Operator dialogs for tests: records what was shown, answers from a script.

#include "link/OperatorDialogs.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace msrw::test {

class RecordingDialogs : public OperatorDialogs {
public:
    std::vector<std::string> messages;
    // The icon of each message and OK/Cancel question, in turn.
    std::vector<MessageIcon> icons;
    std::deque<std::optional<std::string>> textAnswers;
    // Answers in turn; when they run out the operator says no, cancels, or
    // closes the file dialog. The folder each file dialog started in is kept.
    std::deque<std::optional<std::string>> fileAnswers;
    std::vector<std::string> fileDialogStarts;
    std::deque<bool> okCancelAnswers;
    std::deque<bool> yesNoAnswers;
    // Runs as each message is shown, so that a test sees the windows then.
    std::function<void()> whileShown;

    void showMessage(const std::string& text, MessageIcon icon, const std::string&) override {
        messages.push_back(text);
        icons.push_back(icon);
        if (whileShown)
            whileShown();
    }
    bool askYesNo(const std::string& text, const std::string&) override {
        messages.push_back(text);
        return take(yesNoAnswers).value_or(false);
    }
    std::optional<std::string> askText(const std::string& prompt, const std::string&) override {
        messages.push_back(prompt);
        return take(textAnswers).value_or(std::nullopt);
    }
    bool askOkCancel(const std::string& text, MessageIcon icon, const std::string&) override {
        messages.push_back(text);
        icons.push_back(icon);
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
