#include "operations/files/BatchTools.h"

#include "batch/BatchImport.h"
#include "batch/BatchReport.h"
#include "batch/BatchStore.h"
#include "batch/ConnectionText.h"
#include "operations/files/DatabaseSource.h"
#include "operations/files/FilesCommon.h"
#include "operations/files/ServerJob.h"
#include "session/MainControls.h"
#include "session/OpStates.h"
#include "session/Session.h"

#include <QFileInfo>
#include <QTimer>
#include <memory>

namespace msrw {
namespace {

constexpr std::size_t kShownBatches = 10;
constexpr int kFollowTickMs = 200;
constexpr const char* kImportTitle = "Import Batch";
constexpr const char* kStatusTitle = "Batch Status";
constexpr const char* kRetryTitle = "Retry Uncertain Record";

// The server job the window started (one at a time), followed on the
// window's thread; the main buttons are disabled while it runs.
struct WindowJob {
    std::unique_ptr<ServerJob> job;
    std::string title;
    std::string importing; // the usage file's name for an import, else empty
    bool buttonsWereEnabled = false;
    QTimer timer;
    bool followed = false; // the timer's tick is connected
};

std::string SentSoFar(const WindowJob& w) {
    return std::to_string(w.job->done()) + " records sent";
}

void FinishJob(Session& s, WindowJob& w) {
    w.timer.stop();
    const std::unique_ptr<ServerJob> job = std::move(w.job);
    s.view.message = {};
    if (w.buttonsWereEnabled)
        EnaMainBtns(s.view, s.port.MsrwMode);
    s.redraw();
    if (job->outcome())
        s.dialogs.showMessage(*job->outcome(), MessageIcon::Information, w.title);
    else
        s.dialogs.showMessage(job->error(), MessageIcon::Critical, w.title);
}

void FollowJob(Session& s, WindowJob& w) {
    if (w.job->finished()) {
        FinishJob(s, w);
        return;
    }
    if (!w.importing.empty()) {
        s.view.message = {"Importing " + w.importing + ": " + SentSoFar(w) + "...", kBlack};
        s.redraw();
    }
}

// False (the operator told, and offered to stop an import) while a job runs.
bool NoJobRunning(Session& s, WindowJob& w) {
    if (!w.job)
        return true;
    if (w.importing.empty())
        return false; // the status, on its way
    if (s.dialogs.askYesNo("An import of " + w.importing + " is running: " + SentSoFar(w) +
                               " so far.\nStop it? Nothing of it is kept.",
                           kImportTitle) &&
        w.job)
        w.job->stop();
    return false;
}

// False (the operator told) when the database source is the usage file's CSV file.
bool ServerChosen(Session& s) {
    if (!DatabaseSourceOf(s).connection.empty())
        return true;
    s.dialogs.showMessage("The database application writes the usage file's CSV file: choose a "
                          "batch server first (Tools > Database Source...).",
                          MessageIcon::Information);
    return false;
}

// The chosen server's settings; nullopt (the operator told) when its text is not one.
std::optional<batch::ConnectionSettings> ChosenSettings(Session& s, const std::string& title) {
    const batch::ParsedConnection parsed =
        batch::ParseConnectionText(DatabaseSourceOf(s).connection);
    if (!parsed.settings)
        s.dialogs.showMessage("The connection text is not one: " + parsed.problem,
                              MessageIcon::Critical, title);
    return parsed.settings;
}

std::string StationName(Session& s) {
    const std::string& station = DatabaseSourceOf(s).station;
    return station.empty() ? batch::DefaultStationName() : station;
}

void StartJob(Session& s, WindowJob& w, const batch::ConnectionSettings& settings,
              ServerJob::Work work) {
    w.buttonsWereEnabled = s.view.isEnabled(Control::cmdDatabase);
    DisMainBtns(s.view);
    w.job = std::make_unique<ServerJob>(settings, StationName(s), std::move(work));
    if (!w.followed) {
        QObject::connect(&w.timer, &QTimer::timeout, [&s, &w] { FollowJob(s, w); });
        w.followed = true;
    }
    w.timer.start(kFollowTickMs);
    FollowJob(s, w);
}

// The status of the newest batches; nullopt with `error` set when the server
// cannot tell it.
std::optional<std::string> NewestBatchesText(batch::BatchStore& store, std::string& error) {
    const std::optional<std::vector<batch::BatchInfo>> batches = store.listBatches(error);
    if (!batches)
        return std::nullopt;
    const std::string place = store.connection().place();
    if (batches->empty())
        return "There is no batch on the server at " + place + ".";
    std::string text;
    const std::size_t from = batches->size() > kShownBatches ? batches->size() - kShownBatches : 0;
    if (from > 0)
        text = "The newest " + std::to_string(kShownBatches) + " of " +
               std::to_string(batches->size()) + " batches on the server at " + place + ":\n";
    for (std::size_t i = from; i < batches->size(); ++i) {
        const std::optional<batch::BatchStatus> status = store.status((*batches)[i].id, error);
        if (!status)
            return std::nullopt;
        text += batch::StatusText((*batches)[i], *status);
    }
    return text;
}

} // namespace

void mnuImportBatch_Click(Session& s) {
    WindowJob& w = s.operationState<WindowJob>();
    if (!NoJobRunning(s, w) || !ServerChosen(s))
        return;
    if (s.g.OpState != kOpIdle) {
        s.dialogs.showMessage("A batch is imported while no operation runs.",
                              MessageIcon::Information, kImportTitle);
        return;
    }
    const std::optional<batch::ConnectionSettings> settings = ChosenSettings(s, kImportTitle);
    if (!settings)
        return;
    const std::optional<std::string> chosen = s.dialogs.chooseOpenFile(
        StartFolder(s, kDatabaseFolder, kDatabasePathFile), "TXT(*.TXT)|*.TXT");
    if (!chosen || chosen->empty())
        return;
    RememberChoice(s, kDatabasePathFile, *chosen);
    const QString path = QString::fromStdString(*chosen);
    const std::string name = QFileInfo(path).fileName().toStdString();
    w.title = kImportTitle;
    w.importing = name;
    StartJob(s, w, *settings,
             [path, name](batch::BatchStore& store, ServerJob::Progress& progress,
                          std::string& error) -> std::optional<std::string> {
                 const auto made = batch::ImportBatch(store, path, error, [&](std::int64_t sent) {
                     progress.done.store(sent);
                     return !progress.stopping.load();
                 });
                 if (!made) // stopped as asked: an outcome, not a failure
                     return error == batch::kImportStopped ? std::optional(error) : std::nullopt;
                 return batch::ImportedText(made->batch, made->records, name) + ".";
             });
}

void mnuBatchStatus_Click(Session& s) {
    WindowJob& w = s.operationState<WindowJob>();
    if (!NoJobRunning(s, w) || !ServerChosen(s))
        return;
    const std::optional<batch::ConnectionSettings> settings = ChosenSettings(s, kStatusTitle);
    if (!settings)
        return;
    w.title = kStatusTitle;
    w.importing.clear();
    StartJob(s, w, *settings,
             [](batch::BatchStore& store, ServerJob::Progress&, std::string& error) {
                 return NewestBatchesText(store, error);
             });
}

void mnuBatchRetry_Click(Session& s) {
    if (!ServerChosen(s))
        return;
    const std::optional<std::string> text = s.dialogs.askText(
        "The batch and record numbers of an uncertain record (as \"3 117\"), to be written by "
        "the next station.\nDo so only after checking that its card was not written.",
        kRetryTitle);
    if (!text)
        return;
    const std::optional<batch::RecordRef> ref = batch::ParseRecordRef(*text);
    if (!ref) {
        s.dialogs.showMessage("Type the batch number and the record number, as \"3 117\".",
                              MessageIcon::Critical, kRetryTitle);
        return;
    }
    const std::optional<batch::ConnectionSettings> settings = ChosenSettings(s, kRetryTitle);
    std::string error;
    const std::unique_ptr<batch::BatchStore> store =
        settings ? batch::BatchStore::Open(*settings, StationName(s), error) : nullptr;
    if (!store) {
        if (settings)
            s.dialogs.showMessage(error, MessageIcon::Critical, kRetryTitle);
        return;
    }
    if (store->retry(ref->batch, ref->record, error) == batch::BatchStore::Outcome::Done)
        s.dialogs.showMessage(batch::RetriedText(ref->batch, ref->record), MessageIcon::Information,
                              kRetryTitle);
    else
        s.dialogs.showMessage(error, MessageIcon::Critical, kRetryTitle);
}

} // namespace msrw
