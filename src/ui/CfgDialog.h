#pragma once
// frmCfg ("Velk MSRW Configuration"): shown without waiting while the main
// window is hidden; Escape and the window's X do what Close does.

#include <QDialog>
#include <array>
#include <functional>

class QComboBox;
class QLineEdit;

namespace msrw {

class Session;
struct ListControl;

class CfgDialog : public QDialog {
    Q_OBJECT
public:
    CfgDialog(Session& session, std::function<void()> after, QWidget* parent = nullptr);
    void render();

protected:
    void reject() override;

private:
    QComboBox* addList(const char* name, const char* designText, ListControl& (*list)(Session&));
    void act(const std::function<void()>& action);

    struct BoundList {
        QComboBox* combo;
        ListControl& (*list)(Session&);
    };

    Session& s_;
    std::function<void()> after_;
    std::vector<BoundList> lists_;
    std::array<QLineEdit*, 4> fields_{}; // by CfgField
    bool rendering_ = false;
};

} // namespace msrw
