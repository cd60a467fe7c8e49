#pragma once
// Everything one run of the program holds: the shared state, the format
// store, what the windows show, and the seams to the outside (ports, operator
// dialogs, the clock, the data folder). The operations of every subsystem act
// on a Session; the windows draw its view; tests build one with doubles.

#include "cards/EraseOperation.h"
#include "cards/SequentialWrite.h"
#include "link/DataFolder.h"
#include "link/GlobalVar.h"
#include "link/MainView.h"
#include "link/PortManager.h"
#include "link/PortState.h"
#include "settings/FormatStore.h"
#include "settings/SettingsRecord.h"

#include <functional>

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
    // The two dialogs of card operations, as the main window holds them.
    EraseSelView eraseSel;    // frmEraseSel
    SequentialWrite seqWrite; // the run and frmSeqWrite

    // Called before every pause, so that the windows show what has changed.
    std::function<void()> render;

    // The link component, created on first use.
    MsrwDLL& link();

    // Pauses with events processed. False when the operation that paused was
    // ended meanwhile ("End" pressed): the caller must then stop at once.
    bool Delay(int ms);
    bool Wait(int ms);
    // Marks the running operation as ended, for the pauses above.
    void markOperationEnded() { ++g.operationEnds; }

    bool ormond() const { return port.MsrwMode == "Ormond Mode"; }
    bool velk() const { return port.MsrwMode == "Velk Mode"; }
    bool quell() const { return port.MsrwMode == "Quell Mode"; }

private:
    bool pause(int ms, bool isWait);
};

} // namespace msrw
