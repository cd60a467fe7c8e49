#pragma once
// A usage file and its CSV file in a folder of their own, for imports.

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

namespace msrw::test {

inline const char* kIsoUsageText = "//members\r\nCARDTYPE=ISO\r\nBPI1=210\r\n//BPI2=\r\n"
                                   "BPI3=210\r\nTrk1:fa^fb\r\nTrk2:fcfd\r\nTrk3:\r\n";

struct BatchFiles {
    QTemporaryDir dir;
    QString usagePath() const { return dir.filePath("db.txt"); }
    void write(const char* name, const std::string& bytes) const {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), qint64(bytes.size()));
    }
    // "N1,M1,1,1\n" ... one record a line, `count` of them.
    void writeRecords(int count) const {
        std::string csv;
        for (int n = 1; n <= count; ++n)
            csv += "N" + std::to_string(n) + ",M,1," + std::to_string(n) + "\n";
        write("db.txt", kIsoUsageText);
        write("db.csv", csv);
    }
};

} // namespace msrw::test
