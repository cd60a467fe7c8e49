// Figures of the database application: the software time per record (the
// result of one card handled, the resume point kept, the next record read,
// composed and sent; the mandated pauses are recorded, not spent) for a
// 1,000-record and a 1,000,000-record CSV file, and the peak memory.

#include "DatabaseFiles.h"
#include "operations/files/DatabaseApplication.h"
#include "session/OpStates.h"
#include "support/SimSession.h"

#include <QCoreApplication>
#include <QFile>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

using namespace msrw;
using Steady = std::chrono::steady_clock;

namespace {

constexpr int kMeasured = 900; // fewer than the small file holds: its end would reset the count

void WriteFiles(test::SimSession& t, long long records, long long resumeAt) {
    if (!bench::WriteDatabaseFiles(t.dir.filePath("db"), records))
        return;
    QFile his(t.dir.filePath("db.his"));
    if (his.open(QIODevice::WriteOnly))
        his.write(QByteArray::number(resumeAt) + "\r\n");
}

void Run(long long records, long long resumeAt) {
    test::SimSession t;
    if (!t.start())
        return;
    WriteFiles(t, records, resumeAt);
    Session& s = *t.session;
    t.dialogs.fileAnswers.push_back(t.dir.filePath("db.txt").toStdString());
    t.dialogs.okCancelAnswers.push_back(true);
    const auto startBegin = Steady::now();
    cmdDatabase_Click(s);
    const auto startEnd = Steady::now();
    if (s.g.OpState != kOpDatabaseWrite) {
        std::printf("run did not start: %s\n",
                    t.dialogs.messages.empty() ? "" : t.dialogs.messages.back().c_str());
        return;
    }
    const std::int64_t first = s.operationState<DatabaseRun>().RecordNo;
    const auto begin = Steady::now();
    for (int i = 0; i < kMeasured; ++i)
        DatabaseBranch(s,
                       "\x1B"
                       "0",
                       true);
    const auto end = Steady::now();
    const std::int64_t last = s.operationState<DatabaseRun>().RecordNo;
    const double perRecordUs =
        std::chrono::duration<double, std::micro>(end - begin).count() / double(last - first);
    std::printf("%8lld records, records %lld-%lld: start %.1f ms, %.1f us per record\n", records,
                (long long)first, (long long)last - 1,
                std::chrono::duration<double, std::milli>(startEnd - startBegin).count(),
                perRecordUs);
    cmdCancel_Click(s);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Run(1000, 1);
    Run(1000000, 1000000 - kMeasured);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory: %.1f MB\n", double(usage.ru_maxrss) / 1024.0);
    return 0;
}
