#pragma once
// The start-up dialog: the tracks in use and the protocol family.

#include "operations/startup/Startup.h"

#include <QDialog>
#include <array>

class QLabel;
class QRadioButton;

namespace msrw {

class frmpwd : public QDialog {
    Q_OBJECT
public:
    frmpwd(Startup& startup, std::function<void()> render, QWidget* parent = nullptr);

    // Form_Load: fills the dialog from the start-up state.
    void load();

private:
    void cmdpwdok_Click();
    void cmdpwdcancel_Click();
    void show(const PwdView& view);
    void take(PwdView& view) const;

    Startup& startup_;
    std::function<void()> render_;
    std::array<QRadioButton*, 3> TrackSelect{};
    QRadioButton* optTarnpro;
    QRadioButton* optVelkpro;
    QLabel* lblpwd;
};

} // namespace msrw
