// Figures of a batch on a batch server: the import of a long CSV file, the
// time of one claim + mark written, and eight stations (threads, each its own
// connection) sharing a batch of 100,000 records against one station writing
// such a batch alone, with every record's card composed in-process as the
// database application does (templates filled, write command composed; the
// pauses noted, not spent). Each run tells how busy the machine's cores were
// and the processor time a record took, the server's included. At the end
// the server is asked whether any record was written twice.
//
//   bench_batch [CONNECTION [--million]]
//       CONNECTION: by default $MSRW_TEST_PG; a role that may create a
//       database (dropped afterwards). --million: an import of 1,000,000
//       records at the end.

#include "DatabaseFiles.h"
#include "batch/BatchImport.h"
#include "batch/BatchStore.h"
#include "batch/ConnectionText.h"
#include "cards/CardFormat.h"
#include "cards/CardTypeList.h"
#include "cards/WriteComposition.h"
#include "files/RecordTracks.h"
#include "files/UsageFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <set>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace msrw;
using namespace msrw::batch;
using Steady = std::chrono::steady_clock;

namespace {

constexpr int kOkPauseMs = 300; // the database application's pause after each OK

double Seconds(Steady::time_point from) {
    return std::chrono::duration<double>(Steady::now() - from).count();
}

// A batch of `records` imported; 0 when the import failed (said so).
std::int64_t Import(BatchStore& store, const QTemporaryDir& dir, const QString& name,
                    long long records) {
    if (!bench::WriteDatabaseFiles(dir.filePath(name), records))
        return 0;
    std::string error;
    const auto begin = Steady::now();
    const auto imported = ImportBatch(store, dir.filePath(name + ".txt"), error);
    if (!imported) {
        std::printf("import failed: %s\n", error.c_str());
        return 0;
    }
    const double s = Seconds(begin);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("import of %lld records: %.1f s (%.0f records/s), peak memory %ld MB\n", records, s,
                double(records) / s, usage.ru_maxrss / 1024);
    return imported->batch;
}

// One card as the database application makes it: the templates filled and
// the write command composed. False when the record cannot be written.
bool ComposeCard(const usage::Setup& setup, const std::vector<std::string>& fields) {
    const usage::RecordTracks tracks = usage::TracksOfRecord(setup, fields);
    if (!tracks.texts)
        return false;
    CardFormat format;
    format.bpi = {"210", "75", "210"};
    return !ComposeWriteCommand(MsrwMode::Ormond, card::ISO, *tracks.texts, format).command.empty();
}

struct StationResult {
    std::vector<std::int64_t> marked;
    long long pausesMs = 0;
    std::string error;
};

// A station writing records of `batch` until none is left or `limit` are done.
StationResult RunStation(const ConnectionSettings& settings, const std::string& station,
                         std::int64_t batch, const usage::Setup& setup, long long limit) {
    StationResult r;
    auto store = BatchStore::Open(settings, station, r.error);
    if (!store)
        return r;
    while ((long long)r.marked.size() < limit) {
        const BatchStore::Claim claim = store->claim(batch, r.error);
        if (claim.outcome != BatchStore::Outcome::Done)
            break;
        if (!ComposeCard(setup, claim.record.fields)) {
            r.error = "record " + std::to_string(claim.record.number) + " cannot be composed";
            break;
        }
        if (store->markWritten(batch, claim.record.number, r.error) != BatchStore::Outcome::Done)
            break;
        r.marked.push_back(claim.record.number);
        r.pausesMs += kOkPauseMs;
    }
    return r;
}

// The machine's processor time so far, busy and all, in clock ticks (every
// core, every process: the stations' threads and the server's backends).
struct ProcessorTicks {
    long long busy = 0, all = 0;
};

ProcessorTicks MachineTicks() {
    std::ifstream stat("/proc/stat");
    std::string cpu;
    long long user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0, steal = 0;
    stat >> cpu >> user >> nice >> system >> idle >> iowait >> irq >> softirq >> steal;
    const long long busy = user + nice + system + irq + softirq + steal;
    return {busy, busy + idle + iowait};
}

// Records per second of `stations` threads on `batch`, each doing at most `limit`.
double Throughput(const ConnectionSettings& settings, std::int64_t batch, const usage::Setup& setup,
                  int stations, long long limit, std::vector<StationResult>& results) {
    results.assign(std::size_t(stations), {});
    std::vector<std::thread> threads;
    const ProcessorTicks before = MachineTicks();
    const auto begin = Steady::now();
    for (int i = 0; i < stations; ++i)
        threads.emplace_back([&, i] {
            results[std::size_t(i)] =
                RunStation(settings, "bench-" + std::to_string(i), batch, setup, limit);
        });
    for (std::thread& t : threads)
        t.join();
    const double s = Seconds(begin);
    const ProcessorTicks after = MachineTicks();
    long long done = 0;
    for (const StationResult& r : results) {
        done += (long long)r.marked.size();
        if (!r.error.empty())
            std::printf("  a station stopped: %s\n", r.error.c_str());
    }
    const double tick = 1.0 / double(sysconf(_SC_CLK_TCK));
    const double busySeconds = double(after.busy - before.busy) * tick;
    const double cores = double(sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("%d station(s): %lld records in %.1f s: %.0f records/s; the machine busy %.0f%% "
                "of %.0f cores, %.0f us of processor time a record\n",
                stations, done, s, double(done) / s,
                100.0 * double(after.busy - before.busy) / double(after.all - before.all), cores,
                done ? busySeconds * 1e6 / double(done) : 0.0);
    return double(done) / s;
}

void ClaimAndMarkLatency(BatchStore& store, std::int64_t batch, int records) {
    std::vector<double> ms;
    std::string error;
    for (int i = 0; i < records; ++i) {
        const auto begin = Steady::now();
        const BatchStore::Claim c = store.claim(batch, error);
        if (c.outcome != BatchStore::Outcome::Done ||
            store.markWritten(batch, c.record.number, error) != BatchStore::Outcome::Done)
            break;
        ms.push_back(Seconds(begin) * 1000);
    }
    if (ms.empty()) {
        std::printf("claim + mark failed: %s\n", error.c_str());
        return;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("claim + mark written, %zu records: median %.3f ms, 90th %.3f ms, max %.3f ms\n",
                ms.size(), ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.back());
}

// Marks by the stations, the distinct records among them, and the server's count.
void CheckDuplicates(BatchStore& store, std::int64_t batch,
                     const std::vector<StationResult>& results) {
    std::set<std::int64_t> distinct;
    long long marks = 0;
    for (const StationResult& r : results) {
        marks += (long long)r.marked.size();
        distinct.insert(r.marked.begin(), r.marked.end());
    }
    QSqlQuery q(store.connection().database());
    q.exec("SELECT count(*) FILTER (WHERE state = 'written'), count(*), "
           "count(DISTINCT station) FROM msrw_records WHERE batch = " +
           QString::number(batch));
    q.next();
    std::printf("duplicates: %lld (marks %lld, distinct records %zu; the server: %lld of %lld "
                "written, by %lld stations)\n",
                marks - (long long)distinct.size(), marks, distinct.size(), q.value(0).toLongLong(),
                q.value(1).toLongLong(), q.value(2).toLongLong());
}

bool OnAdmin(const ConnectionSettings& admin, const QString& statement) {
    ServerConnection c(admin);
    std::string error;
    QSqlQuery q(c.database());
    if (!c.open(error) || !Run(q, statement, error)) {
        std::printf("%s\n", error.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const char* text = argc > 1 ? argv[1] : std::getenv("MSRW_TEST_PG");
    if (!text) {
        std::printf("usage: bench_batch CONNECTION (or set MSRW_TEST_PG)\n");
        return 2;
    }
    const ParsedConnection parsed = ParseConnectionText(text);
    if (!parsed.settings) {
        std::printf("%s\n", parsed.problem.c_str());
        return 2;
    }
    const QString dbname = "msrw_bench_" + QString::number(QCoreApplication::applicationPid());
    if (!OnAdmin(*parsed.settings, "CREATE DATABASE " + dbname))
        return 1;
    ConnectionSettings settings = *parsed.settings;
    settings.dbname = dbname.toStdString();
    {
        QTemporaryDir dir;
        std::string error;
        auto store = BatchStore::Open(settings, "bench-main", error);
        const usage::Setup setup =
            *usage::ParseUsage(usage::CollectLines(usage::SplitLines(bench::kBenchUsage))).setup;
        if (store) {
            const std::int64_t small = Import(*store, dir, "small", 2000);
            ClaimAndMarkLatency(*store, small, 2000);
            const std::int64_t one = Import(*store, dir, "one", 100000);
            const std::int64_t eight = Import(*store, dir, "eight", 100000);
            std::vector<StationResult> results;
            // The same work for both: a whole batch of 100,000 records.
            const double single = Throughput(settings, one, setup, 1, 100000, results);
            const double many = Throughput(settings, eight, setup, 8, 100000, results);
            std::printf("8 stations / 1 station: %.2fx\n", many / single);
            CheckDuplicates(*store, eight, results);
            if (argc > 2 && std::string(argv[2]) == "--million")
                (void)Import(*store, dir, "million", 1000000);
        } else {
            std::printf("%s\n", error.c_str());
        }
    }
    return OnAdmin(*parsed.settings, "DROP DATABASE " + dbname + " WITH (FORCE)") ? 0 : 1;
}
