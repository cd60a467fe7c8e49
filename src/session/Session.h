#pragma once
// Everything one run of the program holds: the shared state, the format
// store, what the windows show, and the seams to the outside (ports, operator
// dialogs, the clock, the data folder). The operations of every subsystem act
// on a Session; the windows draw its view; tests build one with doubles.

#include "files/SettingsRecord.h"
#include "link/DataFolder.h"
#include "session/CardResult.h"
#include "session/Dispatcher.h"
#include "session/FormatStore.h"
#include "session/GlobalVar.h"
#include "session/MainView.h"
#include "session/PortManager.h"
#include "session/PortState.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <typeindex>
#include <utility>

namespace msrw {

class Clock;
class OperatorDialogs;

class Session {
public:
    Session(const PortDirectory& ports, OperatorDialogs& dialogs, Clock& clock, DataFolder data);

    const PortDirectory& ports;
    OperatorDialogs& dialogs;
    Clock& clock;
    DataFolder data;
    PortState port;
    SettingsRecord record;
    FormatStore format;
    GlobalVar g;
    MainView view;
    PortManager portManager;
    // The receive dispatcher's branches and End actions, as the operations
    // registered them.
    DispatchTable dispatch;

    // Called before every pause, so that the windows show what has changed.
    std::function<void()> render;
    // Draws now, where the operator must see a change before the next step.
    void redraw() const {
        if (render)
            render();
    }
    // Told each card's result as the operation shows it (ShowCardResult).
    std::function<void(const CardResult&)> cardResult;

    // The link component, created on first use.
    MsrwDLL& link();

    // Pauses with events processed. False when the operation that paused was
    // ended meanwhile ("End" pressed): the caller must then stop at once.
    [[nodiscard]] bool Delay(int ms);
    [[nodiscard]] bool Wait(int ms);
    // Marks the running operation as ended, for the pauses above.
    void markOperationEnded() { ++g.operationEnds; }
    // While a reply is being handled: End that came at any moment since
    // (during an exchange, say) stops the branch's next pause too.
    std::optional<std::uint64_t> beginBranch() {
        return std::exchange(branchEnds_, g.operationEnds);
    }
    void endBranch(std::optional<std::uint64_t> outer) { branchEnds_ = outer; }

    // Makes `mode` current and tells msrwModeChanged.
    void setMsrwMode(MsrwMode mode);
    // Told each time a mode is made current, so that a reader/writer living in
    // this program (the simulated one) answers in it as a device set so would.
    std::function<void(MsrwMode)> msrwModeChanged;

    bool ormond() const { return port.MsrwMode == MsrwMode::Ormond; }
    bool velk() const { return port.MsrwMode == MsrwMode::Velk; }
    bool quell() const { return port.MsrwMode == MsrwMode::Quell; }

    // What an operation keeps for the whole run (a dialog's view, a run in
    // progress), made on first use. The session holds it without knowing it.
    template <typename T> T& operationState() {
        std::shared_ptr<void>& slot = operationStates_[std::type_index(typeid(T))];
        if (!slot)
            slot = std::make_shared<T>();
        return *static_cast<T*>(slot.get());
    }

private:
    bool pause(int ms, bool isWait);

    std::optional<std::uint64_t> branchEnds_;

    std::map<std::type_index, std::shared_ptr<void>> operationStates_;
};

} // namespace msrw
