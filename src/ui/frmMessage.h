#pragma once
// The swipe prompt: a small window that stays above the others and never
// blocks them. Its one button ends the operation in progress.

#include "session/MainView.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QRect;

namespace msrw {

class frmMessage : public QWidget {
    Q_OBJECT
public:
    explicit frmMessage(QWidget* parent = nullptr);
    // Shows what `view` says; places the window beside `anchor` when it appears.
    void render(const PromptView& view, const QWidget* anchor);

signals:
    void cmdCancelClicked();

protected:
    // The window's close box does what the button does.
    void closeEvent(QCloseEvent* event) override;

private:
    void moveBeside(const QRect& anchor);

    QLabel* Label1;
    QPushButton* cmdCancel;
};

} // namespace msrw
