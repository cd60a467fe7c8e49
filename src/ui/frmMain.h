#pragma once
// The main window: three track fields, the card-type list, the result line and
// the operation buttons. It draws the session's view and forwards the
// operator's actions to the operations; it holds no procedure of its own.

#include "session/Session.h"

#include <QMainWindow>
#include <array>
#include <utility>
#include <vector>

class QAction;
class QComboBox;
class QGridLayout;
class QMenu;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace msrw {

class CardDetailsWindow;
class CfgDialog;
class EraseSelDialog;
class MaintenanceWindow;
class ScriptWindow;
class SeqWriteDialog;
class SetupDialog;
class TarnSetupDialog;
class frmMessage;
class Startup;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    frmMain(Session& session, Startup& startup, QWidget* parent = nullptr);
    ~frmMain() override;

    // Draws the session's view into the widgets.
    void render();
    frmMessage* prompt() const { return frmMessage_; }

signals:
    void quitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildTracks(QWidget* central);
    QGridLayout* buildButtons(QWidget* central);
    void buildMenus();
    // A menu item that runs `click` on the session, as the buttons do.
    QAction* addSessionItem(QMenu* menu, const QString& caption, const char* name,
                            void (*click)(Session&));
    // The buttons' handlers.
    void onRead();
    void onWrite();
    void onErase();
    void onSeqWrite();
    void onCompare();
    void onTest();
    void onToFile();
    void onFromFile();
    void onDatabase();
    void onSetup();
    void onConfig();
    void onSendCmd();
    void onConfigSetting();
    void onExit();
    void onTrackEdited(int track);
    void onCardTypeChosen(int position);
    // Runs an operator action, then draws the result.
    template <typename F> void act(F&& action);
    void renderTracks();
    void renderControls();

    Session& s_;
    Startup& startup_;
    frmMessage* frmMessage_;
    EraseSelDialog* eraseSel_;
    SeqWriteDialog* seqWrite_;
    SetupDialog* setup_;
    TarnSetupDialog* tarnSetup_;
    CfgDialog* cfg_;
    ScriptWindow* script_;
    MaintenanceWindow* maintenance_;
    CardDetailsWindow* cardDetails_;
    QAction* mnuConfigSetting;
    QAction* mnuDatabaseSource;
    QAction* mnuSimulator;
    std::array<QGroupBox*, 3> fraTrk{};
    std::array<QPlainTextEdit*, 3> txtTrk{};
    QLineEdit* txtMessage;
    QLabel* lblProgress;
    QComboBox* cboCardType;
    QLabel* lblMode;
    QLabel* lblCoercivity;
    QLabel* lblCoercivity2;
    struct ButtonSpec {
        Control control;
        const char* caption;
        void (frmMain::*onClick)();
    };
    static const ButtonSpec kButtons[];
    std::vector<std::pair<Control, QPushButton*>> buttons_;
    std::array<QAction*, 10> mnuPort{};
    QAction* mnuPortOpen;
    QAction* mnuPortClose;
    QMenu* portMenu_;
    bool rendering_ = false;
};

} // namespace msrw
