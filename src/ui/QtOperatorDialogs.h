#pragma once
// The operator dialogs as real Qt message boxes, input boxes and file dialogs.

#include "link/OperatorDialogs.h"

#include <QString>

class QWidget;

namespace msrw {

class QtOperatorDialogs : public OperatorDialogs {
public:
    explicit QtOperatorDialogs(QString applicationTitle) : title_(std::move(applicationTitle)) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void showMessage(const std::string& text, MessageIcon icon, const std::string& title) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    bool askOkCancel(const std::string& text, MessageIcon icon, const std::string& title) override;
    std::optional<std::string> askText(const std::string& prompt,
                                       const std::string& title) override;
    std::optional<std::string> chooseOpenFile(const std::string& startFolder,
                                              const std::string& filter) override;
    std::optional<std::string> chooseSaveFile(const std::string& startFolder,
                                              const std::string& filter) override;

    // "ISO(*.ISO)|*.ISO|AMV(*.AMV)|*.AMV" as Qt writes file filters.
    static QString QtFilter(const std::string& filter);

private:
    QString titleOr(const std::string& title) const;
    // The window a dialog belongs to: an open modal dialog, else the active
    // window, else the main window; so that it comes up above whatever
    // the operator is working in.
    QWidget* owner() const;

    QString title_;
    QWidget* parent_ = nullptr;
};

} // namespace msrw
