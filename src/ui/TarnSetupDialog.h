#pragma once
// frmTarnSetup ("Tarn Setup"): the Tarn set-up view's boxes, lists and
// options. Made once, then only shown and hidden as the view says; modal
// while shown.

#include "operations/settings/TarnSetup.h"

#include <QDialog>
#include <array>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace msrw {

class Session;

class TarnSetupDialog : public QDialog {
    Q_OBJECT
public:
    // `after` runs after every action, so that the main window redraws.
    TarnSetupDialog(Session& session, std::function<void()> after, QWidget* parent = nullptr);
    void render();

protected:
    // Escape and the window's X both come here: they do what Cancel does.
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* buildTracksFrame();
    QGroupBox* buildLeadingZerosFrame();
    // A frame of option buttons; `isChosen` and `choose` bind option i.
    QGroupBox* buildOptions(const QString& caption,
                            const std::vector<std::pair<const char*, const char*>>& options,
                            std::function<bool(const TarnSetupView&, std::size_t)> isChosen,
                            std::function<void(TarnSetupView&, std::size_t)> choose);
    QLineEdit* addBox(TarnBox box);
    // cboT1custom.. or cboTk1bpi..: list `track` (0-2) of `lists`.
    using TrackLists = std::array<ListControl, 3> TarnSetupView::*;
    QComboBox* addList(const QString& name, TrackLists lists, std::size_t track);
    void act(const std::function<void()>& action);
    TarnSetupView& view() const;

    struct BoundOption {
        QRadioButton* button;
        std::size_t index;
        std::function<bool(const TarnSetupView&, std::size_t)> isChosen;
    };
    struct BoundList {
        QComboBox* combo;
        TrackLists lists;
        std::size_t track;
    };

    Session& s_;
    std::function<void()> after_;
    std::array<QLineEdit*, kTarnBoxes> boxes_{}; // by TarnBox
    std::vector<BoundList> lists_;
    std::vector<BoundOption> options_;
    std::vector<QPushButton*> buttons_;
    QCheckBox* chktarnhico;
    bool rendering_ = false;
    bool checking_ = false;
};

} // namespace msrw
