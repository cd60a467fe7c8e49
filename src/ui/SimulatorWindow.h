#pragma once
// The simulated reader/writer's own small window: the cards at hand and a
// Swipe button, so that every operation can be run by hand without hardware.

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace msrw::sim {
class SimulatedPorts;
}

namespace msrw {

class SimulatorWindow : public QWidget {
    Q_OBJECT
public:
    explicit SimulatorWindow(sim::SimulatedPorts& simulator, QWidget* parent = nullptr);

    // The simulator's window of this program, or null when no simulated
    // reader/writer runs.
    static SimulatorWindow* find();
    // Brings the window back (it may have been closed) above the others.
    void reopen();

private:
    void swipe();
    void showState();
    void showCards();

    sim::SimulatedPorts& simulator_;
    QListWidget* cards_;
    QPushButton* swipeButton_;
    QLabel* state_;
};

} // namespace msrw
