// Figures of the database application: the software time per record (the
// result of one card handled, the resume point kept, the next record read,
// composed and sent; the mandated pauses are recorded, not spent) for a
// 1,000-record and a 1,000,000-record CSV file, and the peak memory.

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
    QFile usage(t.dir.filePath("db.txt"));
    if (!usage.open(QIODevice::WriteOnly))
        return;
    usage.write("CARDTYPE=ISO\r\nBPI1=210\r\nBPI2=75\r\nBPI3=210\r\nTrk1:fa^fb\r\nTrk2:fcfd\r\n"
                "Trk3:\r\n");
    QFile csv(t.dir.filePath("db.csv"));
    if (!csv.open(QIODevice::WriteOnly))
        return;
    QByteArray chunk;
    for (long long n = 1; n <= records; ++n) {
        chunk += "\"MEMBER, NO " + QByteArray::number(n) + "\",SAMPLE," + QByteArray::number(n) +
                 ",4111\n";
        if (chunk.size() > (1 << 20)) {
            csv.write(chunk);
            chunk.clear();
        }
    }
    csv.write(chunk);
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
