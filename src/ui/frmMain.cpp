#include "ui/frmMain.h"

#include "operations/cardtype/CardTypeSetup.h"
#include "operations/files/BatchTools.h"
#include "operations/files/DatabaseApplication.h"
#include "operations/files/DatabaseSource.h"
#include "operations/files/ReadToFile.h"
#include "operations/files/WriteFromFile.h"
#include "operations/reading/CardDetailsFeed.h"
#include "operations/reading/CompareOperation.h"
#include "operations/reading/ReadOperation.h"
#include "operations/reading/TestCycle.h"
#include "operations/settings/CfgDialog.h"
#include "operations/settings/Maintenance.h"
#include "operations/settings/ScriptRunner.h"
#include "operations/settings/SetupDialog.h"
#include "operations/startup/PortMenu.h"
#include "operations/startup/Startup.h"
#include "operations/writing/EraseOperation.h"
#include "operations/writing/SequentialWrite.h"
#include "operations/writing/WriteOperation.h"
#include "session/CardView.h"
#include "session/Dispatcher.h"
#include "session/TrackFieldWrap.h"
#include "ui/CardDetailsWindow.h"
#include "ui/CardDialogs.h"
#include "ui/CfgDialog.h"
#include "ui/DialogSupport.h"
#include "ui/MaintenanceWindow.h"
#include "ui/ScriptWindow.h"
#include "ui/SetupDialog.h"
#include "ui/SimulatorWindow.h"
#include "ui/TarnSetupDialog.h"
#include "ui/TrackEdit.h"
#include "ui/frmMessage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace msrw {
namespace {

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// The model writes line breaks as CR LF; a text box as LF alone.
QString ToWidget(const std::string& text) {
    return Latin1(text).replace("\r\n", "\n");
}
std::string FromWidget(const QString& text) {
    return QString(text).replace("\n", "\r\n").toLatin1().toStdString();
}

void ChooseSelectedCardType(Session& s) {
    (void)cboCardType_Click(s, s.view.cardTypes.selected); // the outcome has been shown
}

} // namespace

// The operation buttons, in the order they stand in the window, and what a
// click runs (none: the operation is not part of this version).
const frmMain::ButtonSpec frmMain::kButtons[] = {
    {Control::cmdRead, "&Read", &frmMain::onRead},
    {Control::cmdWrite, "&Write", &frmMain::onWrite},
    {Control::cmdErase, "&Erase", &frmMain::onErase},
    {Control::cmdCompare, "&Compare", &frmMain::onCompare},
    {Control::cmdSeqWrite, "Se&quential Write", &frmMain::onSeqWrite},
    {Control::cmdToFile, "Read &To File", &frmMain::onToFile},
    {Control::cmdFromFile, "Write &From File", &frmMain::onFromFile},
    {Control::cmdDatabase, "Database Application", &frmMain::onDatabase},
    {Control::cmdSetup, "&Setup", &frmMain::onSetup},
    {Control::cmdConfig, "Confi&g", &frmMain::onConfig},
    {Control::cmdSendCmd, "Run Script File", &frmMain::onSendCmd},
    {Control::cmdConfigSetting, "Config Setting", &frmMain::onConfigSetting},
    {Control::cmdTest, "T&est", &frmMain::onTest},
    {Control::CmdExit, "E&xit", &frmMain::onExit},
};

frmMain::frmMain(Session& session, Startup& startup, QWidget* parent)
    : QMainWindow(parent), s_(session), startup_(startup) {
    setObjectName("frmMain");
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    buildTracks(central);
    for (QGroupBox* frame : fraTrk)
        layout->addWidget(frame);

    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(new QLabel(tr("Card Type:"), central));
    cboCardType = new QComboBox(central);
    cboCardType->setObjectName(QString::fromLatin1(ControlName(Control::cboCardType).data()));
    cboCardType->setMinimumWidth(120);
    typeRow->addWidget(cboCardType);
    lblMode = new QLabel(central);
    lblMode->setObjectName("lblMode");
    lblCoercivity = new QLabel(central);
    lblCoercivity->setObjectName("lblCoercivity");
    lblCoercivity2 = new QLabel(central);
    lblCoercivity2->setObjectName("lblCoercivity2");
    typeRow->addSpacing(16);
    typeRow->addWidget(lblMode);
    typeRow->addSpacing(16);
    typeRow->addWidget(lblCoercivity);
    typeRow->addWidget(lblCoercivity2);
    typeRow->addStretch();
    layout->addLayout(typeRow);

    txtMessage = new QLineEdit(central);
    txtMessage->setObjectName("txtMessage");
    txtMessage->setReadOnly(true);
    txtMessage->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The database run's "record n of N" beside the result line.
    lblProgress = new QLabel(central);
    lblProgress->setObjectName("lblProgress");
    auto* messageRow = new QHBoxLayout;
    messageRow->addWidget(txtMessage, 1);
    messageRow->addWidget(lblProgress);
    layout->addLayout(messageRow);
    layout->addLayout(buildButtons(central));
    setCentralWidget(central);
    buildMenus();

    frmMessage_ = new frmMessage(this);
    connect(frmMessage_, &frmMessage::cmdCancelClicked, this, [this] {
        act([this] { cmdCancel_Click(s_); });
        // The keyboard comes back here, not to the window the cards were
        // swiped in.
        if (isVisible() && !QApplication::activeModalWidget()) {
            raise();
            activateWindow();
        }
    });
    eraseSel_ = new EraseSelDialog(
        s_, [this] { act([] {}); }, this);
    seqWrite_ = new SeqWriteDialog(
        s_, [this] { act([] {}); }, this);
    setup_ = new SetupDialog(
        s_, [this] { act([] {}); }, this);
    tarnSetup_ = new TarnSetupDialog(
        s_, [this] { act([] {}); }, this);
    cfg_ = new CfgDialog(
        s_, [this] { act([] {}); }, this);
    script_ = new ScriptWindow(
        s_, [this] { act([] {}); }, this);
    maintenance_ = new MaintenanceWindow(
        s_, [this] { act([] {}); }, this);
    cardDetails_ = new CardDetailsWindow(
        s_, [this] { act([] {}); }, this);
    InstallCardDetailsFeed(s_);
    connect(cboCardType, &QComboBox::activated, this, &frmMain::onCardTypeChosen);
    // The dispatcher (installed with the operations) has handled the reply
    // by the time this runs: draw what it changed.
    connect(&s_.link(), &MsrwDLL::MsrwInEvent, this, [this] { act([] {}); });
    connect(&s_.link(), &MsrwDLL::PortLost, this, [this] { render(); });
    s_.render = [this] { render(); };
    resize(760, 560);
}

frmMain::~frmMain() {
    s_.render = nullptr;
}

void frmMain::buildTracks(QWidget* central) {
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (int i = 0; i < 3; ++i) {
        const int track = i + 1;
        fraTrk[std::size_t(i)] = new QGroupBox(central);
        fraTrk[std::size_t(i)]->setObjectName(QString("fraTrk%1").arg(track));
        auto* edit = new TrackEdit(fraTrk[std::size_t(i)]);
        edit->setObjectName(QString("txtTrk%1").arg(track));
        edit->setFont(fixed);
        edit->setFilter([this, track](int code) {
            // While a sequential write's number places are marked, every key
            // types "x" and Enter confirms the marks.
            const KeyReplacement marking =
                SeqWriteKeyReplacement(s_, s_.operationState<SequentialWrite>(),
                                       [this] { act([this] { cmdCancel_Click(s_); }); });
            const int key = txtTrk_KeyPress(s_, track, code, marking);
            render();
            return key;
        });
        txtTrk[std::size_t(i)] = edit;
        auto* frameLayout = new QVBoxLayout(fraTrk[std::size_t(i)]);
        frameLayout->addWidget(edit);
        connect(edit, &QPlainTextEdit::textChanged, this, [this, track] { onTrackEdited(track); });
    }
}

QGridLayout* frmMain::buildButtons(QWidget* central) {
    auto* grid = new QGridLayout;
    int index = 0;
    for (const ButtonSpec& spec : kButtons) {
        auto* button = new QPushButton(tr(spec.caption), central);
        const std::string_view name = ControlName(spec.control);
        button->setObjectName(QString::fromLatin1(name.data(), qsizetype(name.size())));
        if (spec.onClick)
            connect(button, &QPushButton::clicked, this, spec.onClick);
        grid->addWidget(button, index / 7, index % 7);
        buttons_.push_back({spec.control, button});
        ++index;
    }
    return grid;
}

QAction* frmMain::addSessionItem(QMenu* menu, const QString& caption, const char* name,
                                 void (*click)(Session&)) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    connect(item, &QAction::triggered, this, [this, click] { act([this, click] { click(s_); }); });
    return item;
}

void frmMain::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    addSessionItem(file, tr("E&xit"), "mnuExit", &mnuExit_Click);
    // Start-up hides the "Config Setting" button: the maintenance dialog is
    // reached from this menu item, enabled as the button would be.
    // Alt+T is the "Read To File" button's.
    QMenu* tools = menuBar()->addMenu(tr("T&ools"));
    mnuConfigSetting = tools->addAction(tr("&Config Setting..."));
    mnuConfigSetting->setObjectName("mnuConfigSetting");
    connect(mnuConfigSetting, &QAction::triggered, this, &frmMain::onConfigSetting);
    // Where the database application takes its records from (the usage
    // file's CSV file, or a batch on a batch server), and the batches there.
    mnuDatabaseSource = addSessionItem(tools, tr("&Database Source..."), "mnuDatabaseSource",
                                       &mnuDatabaseSource_Click);
    addSessionItem(tools, tr("&Import Batch..."), "mnuImportBatch", &mnuImportBatch_Click);
    addSessionItem(tools, tr("&Batch Status..."), "mnuBatchStatus", &mnuBatchStatus_Click);
    addSessionItem(tools, tr("&Retry Uncertain Record..."), "mnuBatchRetry", &mnuBatchRetry_Click);
    // What the tracks of the card mean; it follows each card read while open.
    addSessionItem(tools, tr("Card D&etails..."), "mnuCardDetails", &mnuCardDetails_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    // The simulator's window, once closed, is brought back from here.
    mnuSimulator = tools->addAction(tr("&Simulated Reader/Writer"));
    mnuSimulator->setObjectName("mnuSimulator");
    connect(mnuSimulator, &QAction::triggered, this, [] {
        if (SimulatorWindow* window = SimulatorWindow::find())
            window->reopen();
    });
    portMenu_ = menuBar()->addMenu(tr("&Port"));
    portMenu_->setObjectName("mnuPort");
    for (int i = 0; i < 10; ++i) {
        QAction* item = portMenu_->addAction(QString("Port&%1").arg(i + 1));
        item->setObjectName(QString("mnuPort_%1").arg(i));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this,
                [this, i] { act([this, i] { mnuPortN_Click(s_, i, &ChooseSelectedCardType); }); });
        mnuPort[std::size_t(i)] = item;
    }
    portMenu_->addSeparator();
    mnuPortOpen = portMenu_->addAction(tr("&Open"));
    mnuPortOpen->setObjectName("mnuPortOpen");
    mnuPortOpen->setCheckable(true);
    connect(mnuPortOpen, &QAction::triggered, this,
            [this] { act([this] { mnuPortOpen_Click(s_, &ChooseSelectedCardType); }); });
    mnuPortClose = portMenu_->addAction(tr("&Close"));
    mnuPortClose->setObjectName("mnuPortClose");
    mnuPortClose->setCheckable(true);
    connect(mnuPortClose, &QAction::triggered, this,
            [this] { act([this] { mnuPortClose_Click(s_); }); });
}

template <typename F> void frmMain::act(F&& action) {
    action();
    render();
    if (s_.view.quitRequested)
        emit quitRequested();
}

void frmMain::onRead() {
    act([this] { cmdRead_Click(s_); });
}
void frmMain::onWrite() {
    act([this] { cmdWrite_Click(s_); });
}
void frmMain::onErase() {
    act([this] { cmdErase_Click(s_, s_.operationState<EraseSelView>()); });
}
void frmMain::onSeqWrite() {
    act([this] { cmdSeqWrite_Click(s_, s_.operationState<SequentialWrite>()); });
}
void frmMain::onCompare() {
    act([this] { cmdCompare_Click(s_); });
}
void frmMain::onTest() {
    act([this] { cmdTest_Click(s_); });
}
void frmMain::onToFile() {
    act([this] { cmdToFile_Click(s_); });
}
void frmMain::onFromFile() {
    act([this] { cmdFromFile_Click(s_); });
}
void frmMain::onDatabase() {
    act([this] { cmdDatabase_Click(s_); });
}
void frmMain::onSetup() {
    act([this] { cmdSetup_Click(s_); });
}
void frmMain::onConfig() {
    act([this] { cmdConfig_Click(s_); });
}
void frmMain::onSendCmd() {
    act([this] { cmdSendCmd_Click(s_, s_.operationState<ScriptRunner>()); });
}
void frmMain::onConfigSetting() {
    act([this] { cmdConfigSetting_Click(s_); });
}
void frmMain::onExit() {
    act([this] { startup_.Form_Unload(); });
}

void frmMain::onCardTypeChosen(int position) {
    act([this, position] {
        s_.view.cardTypes.selected = position;
        (void)cboCardType_Click(s_, position); // the outcome has been shown
    });
}

void frmMain::onTrackEdited(int track) {
    if (rendering_)
        return;
    QPlainTextEdit* edit = txtTrk[std::size_t(track - 1)];
    const QString widgetText = edit->toPlainText();
    const int widgetCaret = edit->textCursor().position();
    TrackBox& box = s_.view.track(track);
    box.text = FromWidget(widgetText);
    std::size_t caret = std::size_t(widgetCaret + widgetText.left(widgetCaret).count('\n'));
    txtTrk_Change(box, caret);
    const QString rewrapped = ToWidget(box.text);
    if (rewrapped == widgetText)
        return;
    const std::string before = box.text.substr(0, std::min(caret, box.text.size()));
    const int newCaret = int(caret) - int(QString::fromLatin1(before.c_str()).count("\r\n"));
    rendering_ = true;
    edit->setPlainText(rewrapped);
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(std::clamp(newCaret, 0, int(rewrapped.size())));
    edit->setTextCursor(cursor);
    rendering_ = false;
}

void frmMain::renderTracks() {
    for (int i = 0; i < 3; ++i) {
        const TrackBox& box = s_.view.tracks[std::size_t(i)];
        auto* edit = static_cast<TrackEdit*>(txtTrk[std::size_t(i)]);
        const QString text = ToWidget(box.text);
        if (edit->toPlainText() != text) {
            edit->setPlainText(text);
            edit->moveCursor(QTextCursor::End);
        }
        edit->setEnabled(box.enabled);
        edit->setMaxLength(box.maxLength);
        const TrackFrame& frame = s_.view.frames[std::size_t(i)];
        fraTrk[std::size_t(i)]->setTitle(Latin1(frame.caption));
        fraTrk[std::size_t(i)]->setStyleSheet(frame.red ? "QGroupBox::title { color: #ff0000; }"
                                                        : "");
    }
}

void frmMain::renderControls() {
    const MainView& v = s_.view;
    for (const auto& [control, button] : buttons_) {
        button->setEnabled(v.isEnabled(control));
        button->setVisible(!v.isHidden(control));
    }
    cboCardType->setEnabled(v.isEnabled(Control::cboCardType));
    ShowListItems(cboCardType, v.cardTypes.items, v.cardTypes.selected);
    lblMode->setText(Latin1(v.modeLabel));
    lblCoercivity->setText(Latin1(v.coercivityLabel));
    lblCoercivity->setVisible(!v.coercivityLabelHidden);
    lblCoercivity2->setText(Latin1(v.defaultSettingLabel.text));
    const Colour c = v.defaultSettingLabel.colour;
    lblCoercivity2->setStyleSheet(QString("color: %1;").arg(QColor(c.r, c.g, c.b).name()));
    for (int i = 0; i < 10; ++i)
        mnuPort[std::size_t(i)]->setChecked(v.portMenu.portChecked[std::size_t(i)]);
    mnuPortOpen->setChecked(v.portMenu.openChecked);
    mnuPortClose->setChecked(v.portMenu.closeChecked);
    portMenu_->menuAction()->setVisible(v.portMenu.visible);
    mnuConfigSetting->setEnabled(v.isEnabled(Control::cmdConfigSetting));
    mnuSimulator->setVisible(SimulatorWindow::find() != nullptr);
}

void frmMain::render() {
    rendering_ = true;
    // Once started, the window is hidden while a dialog that takes its place
    // (configuration, maintenance, the script runner) is up.
    if (s_.g.FirstLoadDone && isVisible() != s_.view.mainVisible)
        setVisible(s_.view.mainVisible);
    setWindowTitle(Latin1(s_.view.title));
    txtMessage->setText(Latin1(s_.view.message.text));
    const Colour c = s_.view.message.colour;
    txtMessage->setStyleSheet(QString("color: %1;").arg(QColor(c.r, c.g, c.b).name()));
    lblProgress->setText(Latin1(s_.operationState<DatabaseRun>().progress));
    renderTracks();
    renderControls();
    rendering_ = false;
    frmMessage_->render(s_.view.prompt, this);
    eraseSel_->render();
    seqWrite_->render();
    setup_->render();
    tarnSetup_->render();
    cfg_->render();
    script_->render();
    maintenance_->render();
    cardDetails_->render();
}

void frmMain::closeEvent(QCloseEvent* event) {
    startup_.Form_Unload();
    event->accept();
    emit quitRequested();
}

} // namespace msrw
