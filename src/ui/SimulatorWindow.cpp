#include "ui/SimulatorWindow.h"

#include "sim/ports/SimulatedPorts.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace msrw {

SimulatorWindow::SimulatorWindow(sim::SimulatedPorts& simulator, QWidget* parent)
    : QWidget(parent, Qt::Window), simulator_(simulator) {
    setObjectName("SimulatorWindow");
    setWindowTitle(tr("Simulated reader/writer (port %1)").arg(simulator.port()));
    cards_ = new QListWidget(this);
    cards_->setObjectName("cardList");
    for (std::size_t i = 0; i < simulator.deck().size(); ++i)
        cards_->addItem(QString());
    showCards();
    cards_->setCurrentRow(0);
    swipeButton_ = new QPushButton(tr("&Swipe"), this);
    swipeButton_->setObjectName("cmdSwipe");
    state_ = new QLabel(this);
    state_->setObjectName("lblState");
    state_->setWordWrap(true);
    // Room for the longest state, above the button: a text that wraps to
    // another line must not move the button from under the pointer.
    state_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    state_->setMinimumHeight(state_->fontMetrics().lineSpacing() * 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Cards at hand:"), this));
    layout->addWidget(cards_, 1);
    layout->addWidget(state_);
    layout->addWidget(swipeButton_);
    connect(swipeButton_, &QPushButton::clicked, this, &SimulatorWindow::swipe);
    connect(cards_, &QListWidget::itemDoubleClicked, this, &SimulatorWindow::swipe);
    connect(&simulator.device(), &sim::Device::armed, this, &SimulatorWindow::showState);
    connect(&simulator.device(), &sim::Device::reply, this, [this] { showState(); });
    connect(&simulator.fixture(), &sim::Device::armed, this, &SimulatorWindow::showState);
    // Some commands (return to idle) disarm the device without a reply.
    auto* refresh = new QTimer(this);
    connect(refresh, &QTimer::timeout, this, &SimulatorWindow::showState);
    refresh->start(250);
    resize(260, 320);
    showState();
}

SimulatorWindow* SimulatorWindow::find() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* simulatorWindow = qobject_cast<SimulatorWindow*>(window))
            return simulatorWindow;
    return nullptr;
}

void SimulatorWindow::reopen() {
    show();
    raise();
    activateWindow();
}

void SimulatorWindow::swipe() {
    const int row = cards_->currentRow();
    if (row < 0)
        return;
    if (!simulator_.swipe(std::size_t(row)))
        state_->setText(tr("Nothing to do: the reader/writer is not waiting for a card."));
    else
        showState();
}

void SimulatorWindow::showCards() {
    for (int row = 0; row < cards_->count(); ++row) {
        const QString label = QString::fromLatin1(simulator_.cardLabel(std::size_t(row)).c_str());
        if (cards_->item(row)->text() != label)
            cards_->item(row)->setText(label);
    }
}

void SimulatorWindow::showState() {
    // A write or an erase has changed what a card holds.
    showCards();
    const sim::Device& device = simulator_.device();
    if (device.awaitsVerification())
        state_->setText(tr("Waiting for the verifying swipe of the card just written."));
    else if (device.isArmed())
        state_->setText(tr("Waiting for a card: choose one and press Swipe."));
    else if (simulator_.fixture().isArmed())
        state_->setText(tr("The lead-zero-bias fixture waits for a card: choose one and press "
                           "Swipe."));
    else
        state_->setText(tr("Idle."));
}

} // namespace msrw
