#pragma once
// Every message box, question, input box and file dialog goes through this
// interface: the program shows real dialogs, tests script the answers.

#include <optional>
#include <string>

namespace msrw {

enum class MessageIcon { None, Information, Warning, Critical };

class OperatorDialogs {
public:
    virtual ~OperatorDialogs() = default;

    // A message with an OK button. An empty title means the application's title.
    virtual void showMessage(const std::string& text, MessageIcon icon = MessageIcon::None,
                             const std::string& title = {}) = 0;
    // A yes/no question; true for yes.
    virtual bool askYesNo(const std::string& text, const std::string& title = {}) = 0;
    // A question with the buttons OK and Cancel; true for OK. Where a face
    // has no such box, the yes/no question stands in for it.
    virtual bool askOkCancel(const std::string& text, MessageIcon icon = MessageIcon::None,
                             const std::string& title = {}) {
        (void)icon;
        return askYesNo(text, title);
    }
    // A one-line input; nullopt when cancelled.
    virtual std::optional<std::string> askText(const std::string& prompt,
                                               const std::string& title) = 0;
    // File choosers; nullopt when cancelled. `filter` uses "Name(*.EXT)|*.EXT".
    virtual std::optional<std::string> chooseOpenFile(const std::string& startFolder,
                                                      const std::string& filter) = 0;
    virtual std::optional<std::string> chooseSaveFile(const std::string& startFolder,
                                                      const std::string& filter) = 0;
};

} // namespace msrw
