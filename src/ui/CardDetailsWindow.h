#pragma once
// The Card Details window: what the tracks of the card last read mean, in a
// form, with the checks each marked pass or fail and said in a sentence. Not
// modal: it follows every read, compare and file read while it is open.

#include <QWidget>
#include <cstdint>
#include <functional>

class QCheckBox;
class QLabel;
class QScrollArea;

namespace msrw {

class Session;
struct CardDetailsView;

class CardDetailsWindow : public QWidget {
    Q_OBJECT
public:
    // `after` runs after every action, so that the other windows redraw.
    CardDetailsWindow(Session& session, std::function<void()> after, QWidget* parent = nullptr);
    void render();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void drawDetails(const CardDetailsView& v);
    void drawChecks(const CardDetailsView& v);
    // Beside the main window, where the screen has room.
    void placeBesideOwner();

    Session& s_;
    std::function<void()> after_;
    QLabel* lblLayout;
    QLabel* lblSource;
    QWidget* checks_;
    QScrollArea* fields_;
    QCheckBox* chkShowFullNumber;
    std::uint64_t drawn_ = 0; // the view's revision on screen
};

} // namespace msrw
