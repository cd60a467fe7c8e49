#pragma once
// The operator dialogs of a console card run: messages go to standard error,
// the file choosers take the file named on the command line, and a question
// is answered by the option that answers it. A question that no option
// answers ends the run with a message saying which option would, instead of
// waiting for an operator who is not there.

#include "link/ConsoleDialogs.h"

#include <optional>
#include <string>
#include <vector>

namespace msrw::console {

class ConsoleAnswers : public ConsoleDialogs {
public:
    // A question beginning with `opening` is answered `yes` (OK) or no (Cancel).
    void answer(std::string opening, bool yes);
    // A question beginning with `opening` is answered by `options`; when they
    // were not given, the message names them.
    void answeredBy(std::string opening, std::string options);
    // What the file choosers choose.
    void chooseFile(std::string path) { file_ = std::move(path); }

    bool askYesNo(const std::string& text, const std::string& title) override;
    bool askOkCancel(const std::string& text, MessageIcon icon, const std::string& title) override;
    std::optional<std::string> chooseOpenFile(const std::string& startFolder,
                                              const std::string& filter) override;
    std::optional<std::string> chooseSaveFile(const std::string& startFolder,
                                              const std::string& filter) override;

    // The first question asked that had no answer; nullopt when there was none.
    const std::optional<std::string>& unanswered() const { return unanswered_; }
    // Whether `text` was shown as a message.
    bool wasShown(const std::string& text) const;

private:
    struct Answer {
        std::string opening;
        std::optional<bool> yes;
        std::string options;
    };

    bool ask(const std::string& text);

    std::vector<Answer> answers_;
    std::optional<std::string> file_;
    std::optional<std::string> unanswered_;
};

} // namespace msrw::console
