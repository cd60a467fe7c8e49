#include "console/CardRun.h"

#include "console/VerbModes.h"
#include "link/MsrwDLL.h"
#include "operations/Operations.h"
#include "operations/cardtype/CardTypeSetup.h"
#include "operations/files/DatabaseApplication.h"
#include "operations/files/DatabaseSource.h"
#include "operations/files/ReadToFile.h"
#include "operations/files/WriteFromFile.h"
#include "operations/reading/CompareOperation.h"
#include "operations/reading/ReadOperation.h"
#include "operations/settings/CfgDialog.h"
#include "operations/startup/Startup.h"
#include "operations/writing/EraseOperation.h"
#include "operations/writing/SequentialWrite.h"
#include "operations/writing/TarnWrite.h"
#include "operations/writing/WriteOperation.h"
#include "platform/FileNames.h"
#include "protocol/MsrwMode.h"
#include "session/Dispatcher.h"
#include "session/MainControls.h"
#include "session/OpStates.h"
#include "session/ReaderScan.h"
#include "session/Session.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace msrw::console {
namespace {

// One clock for the card times of the whole program run.
std::int64_t NowNs() {
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.nsecsElapsed();
}

std::string Listed(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : ", ") + item;
    return out;
}

// The name's bytes are kept as given: a name that is not UTF-8 is still the
// file's. Where names are UTF-8 (Windows), Qt knows the forms of an absolute
// path (a drive letter, a server's share).
std::string AbsolutePath(const std::string& path) {
    if (platform::kFileNamesAreUtf8)
        return QDir::current().absoluteFilePath(QString::fromStdString(path)).toStdString();
    if (!path.empty() && path.front() == '/')
        return path;
    return QFile::encodeName(QDir::currentPath()).toStdString() + "/" + path;
}

constexpr int kEndRetryMs = 10;

void Say(const QString& text) {
    std::fprintf(stderr, "msrw-cli: %s\n", qPrintable(text));
}

} // namespace

CardRun::CardRun(const PortDirectory& ports, const DataFolder& data, CardRunOptions options)
    : options_(std::move(options)), printer_(stdout, options_),
      session_(std::make_unique<Session>(ports, answers_, clock_, data)) {
    Session& s = *session_;
    InstallOperations(s);
    startup_ = std::make_unique<Startup>(s, [&s] {
        // The outcome has been shown, as in the window.
        (void)cboCardType_Click(s, s.view.cardTypes.selected);
    });
    s.cardResult = [this](const CardResult& result) { takeResult(result); };
    QObject::connect(&s.link(), &MsrwDLL::PortLost, [this] { portLost_ = true; });
    answers_.answeredBy("Last record no. is:", "--resume or --restart");
    if (options_.resume)
        answers_.answer("Last record no. is:", *options_.resume);
    answers_.answeredBy("All 3 tracks are empty!", "the marks in --track1, --track2 or --track3");
    if (!options_.file.empty())
        answers_.chooseFile(AbsolutePath(options_.file));
}

CardRun::~CardRun() = default;

void CardRun::followModes(std::function<void(MsrwMode)> told) {
    session_->msrwModeChanged = std::move(told);
}

int CardRun::run() {
    // A mode named on the command line is known before the port is opened.
    const std::optional<MsrwMode> named =
        options_.mode ? MsrwModeFromName(*options_.mode) : std::nullopt;
    if (named && !verbOffered(*named))
        return kExitUsage;
    if (const int status = startUp(); status != kExitOk)
        return status;
    int status = chooseModeAndCardType();
    if (status == kExitOk && !verbOffered(session_->port.MsrwMode))
        status = kExitUsage;
    if (status != kExitOk) {
        startup_->Form_Unload();
        return status;
    }
    bool started = false;
    if (!interrupted_) {
        lastCardAtNs_ = NowNs();
        lastPausedNs_ = clock_.pausedNs();
        // A question left unanswered stops the start where it was asked, so
        // that neither answer is acted on (a resume point kept, say).
        answers_.setThrowing(true);
        try {
            startVerb();
        } catch (const UnansweredQuestion&) {
        }
        answers_.setThrowing(false);
        started = operationActive() || cardsDone_ > 0;
        if (loadRefused()) {
            // The device refused the card's data: a failed card, not bad usage.
            started = true;
            anyFailed_ = true;
        }
        while (operationActive())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    finished_ = true;
    startup_->Form_Unload();
    return exitStatus(started);
}

bool CardRun::loadRefused() const {
    const std::vector<std::string>& shown = answers_.shown();
    return std::any_of(shown.begin(), shown.end(), [](const std::string& text) {
        return text.rfind(kLoadRefusedLead, 0) == 0;
    });
}

bool CardRun::verbOffered(MsrwMode mode) {
    const std::string why = VerbNotOffered(mode, options_.verb);
    if (!why.empty())
        answers_.showMessage(why, MessageIcon::Critical, {});
    return why.empty();
}

void CardRun::interrupt() {
    interrupted_ = true;
    if (startingUp_)
        answers_.mute(); // what fails now fails because of the interrupt
    // Acts even after the last card asked for has asked for End: whatever
    // state the run is in, it ends now.
    endAsked_ = false;
    endOperation();
}

int CardRun::startUp() {
    Startup& startup = *startup_;
    startup.frmpwd_Form_Load();
    if (options_.trackSelect)
        startup.pwd.trackSelect = *options_.trackSelect;
    if (options_.mode) {
        const bool tarn = *options_.mode == MsrwModeText(MsrwMode::Quell);
        startup.pwd.optTarnpro = tarn;
        startup.pwd.optVelkpro = !tarn;
    }
    // Both protocol choices are set above or by the probe, so the dialog closes.
    startingUp_ = true;
    (void)startup.cmdpwdok_Click();
    startingUp_ = false;
    const Session& s = *session_;
    const bool up = !s.view.quitRequested && s.view.mainVisible;
    if (interrupted_) {
        Say("the run was interrupted during start-up; no card was touched.");
        finished_ = true;
        if (up)
            startup.Form_Unload();
        return kExitStopped;
    }
    if (answers_.portAsked()) { // the search found no reader: say why
        Say(options_.namedDevice ? NoReaderCause(session_->link(), kFirstPort)
                                 : QStringLiteral("no reader/writer answered on ports 1-10."));
        return kExitNoPort;
    }
    return up ? kExitOk : kExitNoPort; // "Could not detect ..." has been shown
}

int CardRun::chooseModeAndCardType() {
    Session& s = *session_;
    if (options_.mode) {
        const std::optional<MsrwMode> mode = MsrwModeFromName(*options_.mode);
        if (mode && *mode != s.port.MsrwMode) {
            if (*mode == MsrwMode::Quell || s.quell()) {
                answers_.showMessage(
                    "The reader speaks the " + std::string(s.quell() ? "Tarn" : "escape-sequence") +
                        " protocol family: " + *options_.mode + " is not reached from here.",
                    MessageIcon::Critical, {});
                return kExitUsage;
            }
            frmCfg::MakeMsrwModeCurrent(s, *mode);
            UpdateCbo(s.view, s.port.MsrwMode, s.record);
        }
    }
    if (!options_.cardType)
        return kExitOk;
    const std::vector<std::string>& items = s.view.cardTypes.items;
    const auto it = std::find_if(items.begin(), items.end(), [&](const std::string& item) {
        return SameIgnoringCase(item, *options_.cardType);
    });
    if (it == items.end()) {
        answers_.showMessage("There is no card type \"" + *options_.cardType + "\" in " +
                                 MsrwModeText(s.port.MsrwMode) + "; the card types are " +
                                 Listed(items) + ".",
                             MessageIcon::Critical, {});
        return kExitUsage;
    }
    const int position = int(it - items.begin());
    s.view.cardTypes.selected = position;
    switch (cboCardType_Click(s, position)) {
    case CardTypeOutcome::Done:
        return kExitOk;
    case CardTypeOutcome::PortFailed:
        return kExitNoPort;
    default:
        return kExitNoAnswer; // the reader did not take the card type (shown)
    }
}

void CardRun::startVerb() {
    Session& s = *session_;
    const auto setTracks = [&] {
        for (std::size_t i = 0; i < 3; ++i)
            s.view.tracks[i].text = options_.tracks[i].value_or("");
    };
    switch (options_.verb) {
    case Verb::Read:
        cmdRead_Click(s);
        return;
    case Verb::Compare:
        cmdCompare_Click(s);
        return;
    case Verb::Write:
        setTracks();
        cmdWrite_Click(s);
        return;
    case Verb::Erase: {
        EraseSelView& dialog = s.operationState<EraseSelView>();
        cmdErase_Click(s, dialog);
        if (!dialog.visible)
            return;
        for (int i = 0; i < 3; ++i)
            frmEraseSel::chkTrk1_Click(s, dialog, i, options_.eraseTracks[std::size_t(i)]);
        frmEraseSel::CmdOk_Click(s, dialog);
        return;
    }
    case Verb::Sequential: {
        setTracks();
        SequentialWrite& run = s.operationState<SequentialWrite>();
        cmdSeqWrite_Click(s, run);
        if (!run.SeqWriteActive)
            return;
        cmdCancel_Click(s); // the prompt's OK: the marks are taken
        if (!run.dialog.visible)
            return;
        run.dialog.txtStartNo = std::to_string(options_.sequenceStart);
        run.dialog.txtEndNo = std::to_string(options_.sequenceCount);
        frmSeqWrite::CmdOk_Click(s, run);
        return;
    }
    case Verb::ToFile:
        cmdToFile_Click(s);
        return;
    case Verb::FromFile:
        cmdFromFile_Click(s);
        return;
    case Verb::Database:
        if (options_.batchSource && !useBatchSource())
            return;
        cmdDatabase_Click(s);
        return;
    }
}

bool CardRun::useBatchSource() {
    std::string problem;
    if (SetDatabaseSource(*session_, *options_.batchSource, problem))
        return true;
    answers_.showMessage(problem, MessageIcon::Critical, {});
    return false;
}

RecordSource::Trouble CardRun::recordTrouble() const {
    if (options_.verb != Verb::Database)
        return RecordSource::Trouble::None;
    const DatabaseRun& run = session_->operationState<DatabaseRun>();
    return run.source ? run.source->trouble() : RecordSource::Trouble::None;
}

bool CardRun::operationActive() const {
    const Session& s = *session_;
    if (answers_.unanswered() || portLost_)
        return false;
    return s.g.OpState != kOpIdle || s.view.prompt.visible;
}

void CardRun::takeResult(const CardResult& result) {
    if (endAsked_)
        return; // a card after the last one asked for, read before End came
    const std::int64_t now = NowNs();
    const std::int64_t paused = clock_.pausedNs();
    cardWorkNs_.push_back((now - lastCardAtNs_) - (paused - lastPausedNs_));
    lastCardAtNs_ = now;
    lastPausedNs_ = paused;
    const bool told = printer_.print(result, session_->g.ActiveTracks);
    ++cardsDone_;
    anyFailed_ = anyFailed_ || !result.ok;
    if (!told)
        outputClosed_ = true; // nobody reads on: ended as by End, the resume point kept
    if (!told || (options_.cards > 0 && cardsDone_ >= options_.cards))
        endOperation();
}

void CardRun::endOperation() {
    if (std::exchange(endAsked_, true))
        return;
    endsAtRequest_ = session_->g.operationEnds;
    endWhenActive(0);
}

void CardRun::endWhenActive(int afterMs) {
    // As the operator's End: from the event loop, so that the branch that
    // showed the result is ended in its pause, not in the middle of a step.
    // Between two cards an operation may pause with nothing armed and no
    // prompt (the reader is set idle before it is armed again): ending it
    // there keeps it from arming again. Outside any pause and with nothing
    // armed, the operation has not begun yet: End waits for it.
    // An exchange in progress finishes first: End sends commands of its own.
    QTimer::singleShot(afterMs, [this] {
        if (finished_ || ending_ || session_->g.operationEnds != endsAtRequest_)
            return; // over, or ended meanwhile (by itself or by End)
        if (session_->link().exchanging() || !(operationActive() || clock_.pausing())) {
            endWhenActive(kEndRetryMs);
            return;
        }
        ending_ = true;
        cmdCancel_Click(*session_);
        ending_ = false;
        clock_.cutShort(); // the pause that End came in is over too
    });
}

// The rule of the README's exit-status table: see ExitStatusOf.
int CardRun::exitStatus(bool started) const {
    RunEnd end;
    end.unanswered = answers_.unanswered().has_value();
    end.portLost = portLost_;
    const RecordSource::Trouble trouble = recordTrouble();
    end.serverLost = trouble == RecordSource::Trouble::Server;
    end.claimLost = trouble == RecordSource::Trouble::ClaimLost;
    end.busy = trouble == RecordSource::Trouble::Busy;
    // An operation that never armed the reader refused to start (and said
    // why), unless what it met was the end of its records.
    const bool endOfRecords =
        answers_.wasShown("End of File") || answers_.wasShown("End of record.");
    end.started = started || cardsDone_ > 0 || interrupted_ || endOfRecords;
    end.portFailed = answers_.wasShown("Open Port Failed!");
    end.cardFailed = anyFailed_;
    // A run with an end of its own (a count of cards, the end of the file or
    // the records, a sequence) stopped by an interrupt or a closed output
    // before that end did not do what was asked; a run asked to go on until
    // interrupted did.
    const bool ownEnd = options_.cards > 0 || options_.verb == Verb::FromFile ||
                        options_.verb == Verb::Database || options_.verb == Verb::Sequential;
    const bool countDone = options_.cards > 0 && cardsDone_ >= options_.cards;
    const bool cutShort = (interrupted_ || outputClosed_) && ownEnd && !countDone && !endOfRecords;
    end.stoppedEarly = cutShort || answers_.criticalShown() > 0;
    return ExitStatusOf(end);
}

} // namespace msrw::console
