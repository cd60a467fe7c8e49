#pragma once
// The operator dialogs of a console card run: messages go to standard error,
// the file choosers take the file named on the command line, and a question
// is answered by the option that answers it. A question that no option
// answers ends the run with a message saying which option would, instead of
// waiting for an operator who is not there.

#include "link/ConsoleDialogs.h"

#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace msrw::console {

// Thrown by a question with no answer while an operation is being started,
// so that neither of its answers is acted on.
struct UnansweredQuestion : std::exception {
    const char* what() const noexcept override { return "a question was left unanswered"; }
};

class ConsoleAnswers : public ConsoleDialogs {
public:
    // A question beginning with `opening` is answered `yes` (OK) or no (Cancel).
    void answer(std::string opening, bool yes);
    // A question beginning with `opening` is answered by `options`; when they
    // were not given, the message names them.
    void answeredBy(std::string opening, std::string options);
    // While set, a question with no answer throws UnansweredQuestion instead
    // of answering Cancel. Only for steps called directly, never from the
    // event loop.
    void setThrowing(bool on) { throwing_ = on; }
    // What the file choosers choose.
    void chooseFile(std::string path) { file_ = std::move(path); }

    void showMessage(const std::string& text, MessageIcon icon, const std::string& title) override;
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
    // How many messages with the critical icon were shown: each one stops
    // what it is shown for.
    int criticalShown() const { return criticalShown_; }

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
    bool throwing_ = false;
    int criticalShown_ = 0;
};

} // namespace msrw::console
