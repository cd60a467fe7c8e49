#pragma once
// The database application's files the benchmarks write: an ISO usage file
// and a CSV file of `records` members, written in pieces of about 1 MiB.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace msrw::bench {

inline constexpr const char* kBenchUsage = "CARDTYPE=ISO\r\nBPI1=210\r\nBPI2=75\r\nBPI3=210\r\n"
                                           "Trk1:fa^fb\r\nTrk2:fcfd\r\nTrk3:\r\n";

// `base` + ".txt" and `base` + ".csv"; false when either cannot be written.
inline bool WriteDatabaseFiles(const QString& base, long long records) {
    QFile usage(base + ".txt");
    QFile csv(base + ".csv");
    if (!usage.open(QIODevice::WriteOnly) || !csv.open(QIODevice::WriteOnly))
        return false;
    usage.write(kBenchUsage);
    QByteArray chunk;
    for (long long n = 1; n <= records; ++n) {
        chunk += "\"MEMBER, NO " + QByteArray::number(n) + "\",SAMPLE," + QByteArray::number(n) +
                 ",4111\n";
        if (chunk.size() > (1 << 20)) {
            csv.write(chunk);
            chunk.clear();
        }
    }
    return csv.write(chunk) == chunk.size();
}

} // namespace msrw::bench
