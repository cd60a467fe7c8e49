#pragma once
// Operator dialogs for the console programs: messages go to standard error,
// questions are answered "no", choosers are cancelled.

#include "link/OperatorDialogs.h"

#include <vector>

namespace msrw {

class ConsoleDialogs : public OperatorDialogs {
public:
    void showMessage(const std::string& text, MessageIcon icon, const std::string& title) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    std::optional<std::string> askText(const std::string& prompt,
                                       const std::string& title) override;
    std::optional<std::string> chooseOpenFile(const std::string& startFolder,
                                              const std::string& filter) override;
    std::optional<std::string> chooseSaveFile(const std::string& startFolder,
                                              const std::string& filter) override;

    const std::vector<std::string>& shown() const { return shown_; }

private:
    std::vector<std::string> shown_;
};

} // namespace msrw
