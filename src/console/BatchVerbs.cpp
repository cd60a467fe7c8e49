#include "console/BatchVerbs.h"

#include "batch/BatchImport.h"
#include "batch/BatchReport.h"
#include "batch/BatchStore.h"
#include "batch/ConnectionText.h"
#include "console/CardRunOptions.h"
#include "console/ExitStatus.h"
#include "platform/ConsoleInterrupts.h"
#include "platform/Terminal.h"

#include <QFileInfo>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>

namespace msrw::console {
namespace {

constexpr std::int64_t kMostNumber = 999999999999;

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "msrw-cli: %s\n", message.c_str());
    return status;
}

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// The store on the server that --db names; nullptr (told, `status` set) when
// there is none to be had.
std::unique_ptr<batch::BatchStore> OpenStore(const QCommandLineParser& p, int& status) {
    if (!p.isSet("db")) {
        status = Fail(kExitUsage, "the batch verbs need --db CONNECTION (the batch server).");
        return nullptr;
    }
    const batch::ParsedConnection parsed = batch::ParseConnectionText(p.value("db").toStdString());
    if (!parsed.settings) {
        status = Fail(kExitUsage, "--db: the connection text is not one: " + parsed.problem);
        return nullptr;
    }
    const std::string station =
        p.isSet("station") ? p.value("station").toStdString() : batch::DefaultStationName();
    std::string error;
    std::unique_ptr<batch::BatchStore> store =
        batch::BatchStore::Open(*parsed.settings, station, error);
    if (!store)
        status = Fail(kExitNoServer, error);
    return store;
}

// After a step failed: the server's fault when it no longer answers, the
// request's when it does.
int FailureStatus(batch::BatchStore& store) {
    std::string error;
    return store.listBatches(error) ? kExitUsage : kExitNoServer;
}

std::optional<std::int64_t> NumberArgument(const QString& text, const char* what) {
    const std::optional<std::int64_t> n = CountNamed(text.toStdString(), 1, kMostNumber);
    if (!n)
        Fail(kExitUsage,
             std::string(what) + " is a whole number from 1, not \"" + text.toStdString() + "\".");
    return n;
}

// On a terminal, how far a long import got, on one line rewritten in place
// (a few times a second) and cleared at the end; nothing elsewhere.
class ImportMeter {
public:
    ImportMeter() : shown_(platform::IsTerminal(platform::StandardStream::Error)) {}
    ~ImportMeter() {
        if (wrote_)
            std::fputs("\r\033[K", stderr);
    }
    ImportMeter(const ImportMeter&) = delete;
    ImportMeter& operator=(const ImportMeter&) = delete;

    void show(std::int64_t sent) {
        const auto now = std::chrono::steady_clock::now();
        if (!shown_ || (wrote_ && now - last_ < std::chrono::milliseconds(200)))
            return;
        std::fprintf(stderr, "\r%lld records sent...", static_cast<long long>(sent));
        std::fflush(stderr);
        last_ = now;
        wrote_ = true;
    }

private:
    bool shown_;
    bool wrote_ = false;
    std::chrono::steady_clock::time_point last_;
};

int Import(batch::BatchStore& store, const QStringList& args, const QCommandLineParser&) {
    std::string error;
    std::optional<batch::ImportedBatch> imported;
    {
        // While an import runs, an interrupt stops it after the block on its
        // way (the server then keeps nothing of it) instead of ending the
        // program in the middle.
        std::atomic<bool> interrupted = false;
        const platform::ConsoleInterrupts interrupts([&interrupted] { interrupted = true; });
        ImportMeter meter;
        imported = batch::ImportBatch(store, args[2], error, [&](std::int64_t sent) {
            meter.show(sent);
            return !interrupted;
        });
    }
    if (!imported && error == batch::kImportStopped)
        return Fail(kExitStopped, error);
    if (!imported)
        return Fail(FailureStatus(store), error);
    Print(batch::ImportedText(imported->batch, imported->records,
                              QFileInfo(args[2]).fileName().toStdString()) +
          "\n");
    return kExitOk;
}

// The status of one batch; false (told) when it cannot be had.
bool PrintStatus(batch::BatchStore& store, const batch::BatchInfo& info) {
    std::string error;
    const std::optional<batch::BatchStatus> status = store.status(info.id, error);
    if (!status) {
        Fail(kExitNoServer, error);
        return false;
    }
    Print(batch::StatusText(info, *status));
    return true;
}

// The batches --batch names: the one, or every batch on the server.
std::optional<std::vector<batch::BatchInfo>>
ChosenBatches(batch::BatchStore& store, const QCommandLineParser& p, int& status) {
    std::string error;
    if (!p.isSet("batch")) {
        auto all = store.listBatches(error);
        if (!all)
            status = Fail(kExitNoServer, error);
        return all;
    }
    const std::optional<std::int64_t> id = NumberArgument(p.value("batch"), "--batch");
    if (!id) {
        status = kExitUsage;
        return std::nullopt;
    }
    const std::optional<batch::BatchInfo> one = store.findBatch({}, id, error);
    if (!one) {
        status = Fail(FailureStatus(store), error);
        return std::nullopt;
    }
    return std::vector<batch::BatchInfo>{*one};
}

int Status(batch::BatchStore& store, const QStringList&, const QCommandLineParser& p) {
    int status = kExitOk;
    const auto batches = ChosenBatches(store, p, status);
    if (!batches)
        return status;
    if (batches->empty())
        Print("There is no batch on the server at " + store.connection().place() + ".\n");
    for (const batch::BatchInfo& info : *batches) {
        if (!PrintStatus(store, info))
            return kExitNoServer;
    }
    return kExitOk;
}

int Retry(batch::BatchStore& store, const QStringList& args, const QCommandLineParser&) {
    const std::optional<std::int64_t> batchNo = NumberArgument(args[2], "BATCH");
    const std::optional<std::int64_t> record = NumberArgument(args[3], "RECORD");
    if (!batchNo || !record)
        return kExitUsage;
    std::string error;
    if (store.retry(*batchNo, *record, error) != batch::BatchStore::Outcome::Done)
        return Fail(FailureStatus(store), error);
    Print(batch::RetriedText(*batchNo, *record) + "\n");
    return kExitOk;
}

struct BatchVerb {
    const char* name;
    const char* usage;
    qsizetype arguments; // after "batch NAME"
    bool takesBatchOption;
    int (*run)(batch::BatchStore&, const QStringList&, const QCommandLineParser&);
};

constexpr std::array<BatchVerb, 3> kBatchVerbs{{
    {"import", "batch import USAGE.txt --db CONNECTION", 1, false, Import},
    {"status", "batch status --db CONNECTION [--batch N]", 0, true, Status},
    {"retry", "batch retry BATCH RECORD --db CONNECTION", 2, false, Retry},
}};

const BatchVerb* BatchVerbNamed(const QString& name) {
    for (const BatchVerb& verb : kBatchVerbs) {
        if (name == verb.name)
            return &verb;
    }
    return nullptr;
}

} // namespace

int RunBatchVerb(const QCommandLineParser& parser, const QStringList& args) {
    const BatchVerb* verb = BatchVerbNamed(args.value(1));
    if (!verb)
        return Fail(kExitUsage, "say batch import, batch status or batch retry (see --help).");
    if (args.size() != verb->arguments + 2)
        return Fail(kExitUsage, std::string("usage: msrw-cli ") + verb->usage);
    if (parser.isSet("batch") && !verb->takesBatchOption)
        return Fail(kExitUsage,
                    std::string("--batch is for batch status; usage: msrw-cli ") + verb->usage);
    int status = kExitOk;
    const std::unique_ptr<batch::BatchStore> store = OpenStore(parser, status);
    if (!store)
        return status;
    return verb->run(*store, args, parser);
}

} // namespace msrw::console
