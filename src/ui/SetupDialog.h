#pragma once
// frmSetup ("Set Up"): the tabs over the format store. Made once, then only
// shown and hidden as the view says; modal while shown.

#include "operations/settings/SetupDialog.h"

#include <QDialog>
#include <array>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QStackedWidget;
class QTabBar;

namespace msrw {

class Session;
struct ListControl;

class SetupDialog : public QDialog {
    Q_OBJECT
public:
    // `after` runs after every action, so that the main window redraws.
    SetupDialog(Session& session, std::function<void()> after, QWidget* parent = nullptr);
    void render();

protected:
    // Escape and the window's X both come here: they do what Cancel does.
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildFormatFrame();
    QWidget* buildUserFrame();
    QWidget* buildPassBookFrame();
    // A list bound to record entry `entry` (or to a fixed list when `entry`
    // is kNoEntry), placed in `grid`.
    QComboBox* addList(QGridLayout* grid, int row, int column, const QString& name,
                       std::size_t entry, std::function<const ListControl&()> list);
    QLineEdit* addLeadzBox(LeadzBox box, const QString& name);
    void act(const std::function<void()>& action);

    static constexpr std::size_t kNoEntry = ~std::size_t(0);
    struct BoundList {
        QComboBox* combo;
        std::size_t entry;
        std::function<const ListControl&()> list;
    };

    Session& s_;
    std::function<void()> after_;
    QTabBar* tbsSetup;
    std::array<QWidget*, 3> Frame1{};
    QStackedWidget* frames_ = nullptr;
    std::vector<BoundList> lists_;
    std::array<QLineEdit*, 3> leadz_{}; // by LeadzBox
    QCheckBox* chkhico;
    QCheckBox* chkReadDiff_Pb;
    bool rendering_ = false;
    bool checking_ = false;
};

} // namespace msrw
