#include "operations/files/BatchTools.h"

#include "batch/BatchReport.h"
#include "batch/BatchStore.h"
#include "batch/ConnectionText.h"
#include "operations/files/DatabaseSource.h"
#include "session/Session.h"

#include <memory>

namespace msrw {
namespace {

constexpr std::size_t kShownBatches = 10;
constexpr const char* kStatusTitle = "Batch Status";
constexpr const char* kRetryTitle = "Retry Uncertain Record";

// False (the operator told) when the database source is the usage file's CSV file.
bool ServerChosen(Session& s) {
    if (!DatabaseSourceOf(s).connection.empty())
        return true;
    s.dialogs.showMessage("The database application writes the usage file's CSV file: choose a "
                          "batch server first (Tools > Database Source...).",
                          MessageIcon::Information);
    return false;
}

// The store on the chosen server; nullptr (the operator told) when it cannot be reached.
std::unique_ptr<batch::BatchStore> OpenChosenStore(Session& s) {
    const DatabaseSourceChoice& choice = DatabaseSourceOf(s);
    const batch::ParsedConnection parsed = batch::ParseConnectionText(choice.connection);
    std::string error = "The connection text is not one: " + parsed.problem;
    std::unique_ptr<batch::BatchStore> store;
    if (parsed.settings)
        store = batch::BatchStore::Open(
            *parsed.settings, choice.station.empty() ? batch::DefaultStationName() : choice.station,
            error);
    if (!store)
        s.dialogs.showMessage(error, MessageIcon::Critical);
    return store;
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

void mnuBatchStatus_Click(Session& s) {
    if (!ServerChosen(s))
        return;
    const std::unique_ptr<batch::BatchStore> store = OpenChosenStore(s);
    if (!store)
        return;
    std::string error;
    const std::optional<std::string> text = NewestBatchesText(*store, error);
    if (text)
        s.dialogs.showMessage(*text, MessageIcon::Information, kStatusTitle);
    else
        s.dialogs.showMessage(error, MessageIcon::Critical);
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
    const std::unique_ptr<batch::BatchStore> store = OpenChosenStore(s);
    if (!store)
        return;
    std::string error;
    if (store->retry(ref->batch, ref->record, error) == batch::BatchStore::Outcome::Done)
        s.dialogs.showMessage(batch::RetriedText(ref->batch, ref->record), MessageIcon::Information,
                              kRetryTitle);
    else
        s.dialogs.showMessage(error, MessageIcon::Critical, kRetryTitle);
}

} // namespace msrw
