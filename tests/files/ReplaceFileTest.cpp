// Nothing the program replaces is anything but a regular file: a pipe, a
// socket or a folder at a file's name (or at the end of a link) is left as it
// is, and the operator is told which.

#include "files/HistoryFileIo.h"
#include "files/SettingsFile.h"
#include "link/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace msrw;

namespace {

// A node of the given kind at `path`, made in the test's own folder.
bool MakeNode(const QString& path, mode_t kind) {
    const QByteArray name = QFile::encodeName(path);
    if (kind == S_IFIFO)
        return mkfifo(name.constData(), 0600) == 0;
    if (kind == S_IFDIR)
        return QDir().mkdir(path);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd < 0 || std::size_t(name.size()) >= sizeof(address.sun_path))
        return false;
    std::copy(name.begin(), name.end(), address.sun_path);
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    close(fd);
    return bound;
}

mode_t KindAt(const QString& path) {
    struct stat st {};
    return lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

TEST(ReplaceFile, RefusesWhatIsNotARegularFileAndNamesIt) {
    QTemporaryDir dir;
    const DataFolder data(dir.path());
    using Replace = std::function<bool(QString & error)>;
    const struct Writer {
        const char* what;
        const char* name; // in the data folder
        Replace replace;
    } writers[] = {
        {"settings save", "VelkMsrw.cfg",
         [&](QString& e) { return data.writeLines(kSettingsFile, {"1"}, e); }},
        {"history file", "members.his",
         [&](QString& e) { return history::WriteWholeFile(data.path("members.his"), "3\r\n", e); }},
        {"settings load of a missing file", "VelkMsrw.cfg",
         [&](QString& e) {
             SettingsRecord record;
             e = LoadSetting(data, record).error;
             return e.isEmpty();
         }},
    };
    const struct Node {
        const char* what;
        mode_t kind;
        bool throughLink;
    } nodes[] = {
        {"pipe", S_IFIFO, false},    {"link to a pipe", S_IFIFO, true},
        {"socket", S_IFSOCK, false}, {"link to a socket", S_IFSOCK, true},
        {"folder", S_IFDIR, false},  {"link to a folder", S_IFDIR, true},
    };
    for (const Writer& w : writers) {
        for (const Node& n : nodes) {
            const std::string what = std::string(w.what) + ", " + n.what;
            const QString at = data.path(w.name);
            const QString node = n.throughLink ? dir.filePath("node") : at;
            ASSERT_TRUE(MakeNode(node, n.kind)) << what;
            if (n.throughLink) {
                ASSERT_TRUE(QFile::link(node, at)) << what;
            }
            QString error;
            EXPECT_FALSE(w.replace(error)) << what;
            EXPECT_TRUE(error.contains(QDir::toNativeSeparators(at)))
                << what << ": " << error.toStdString();
            EXPECT_EQ(KindAt(node), n.kind) << what;
            EXPECT_EQ(KindAt(at), n.throughLink ? mode_t(S_IFLNK) : n.kind) << what;
            QFile::remove(at);
            QFile::remove(node);
            QDir().rmdir(node);
        }
    }
}

TEST(ReplaceFile, ReplacesARegularFileThroughALink) {
    QTemporaryDir dir;
    const DataFolder data(dir.path());
    QFile target(dir.filePath("elsewhere.cfg"));
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write("old\r\n");
    target.close();
    ASSERT_TRUE(QFile::link(target.fileName(), data.path(kSettingsFile)));
    QString error;
    ASSERT_TRUE(data.writeLines(kSettingsFile, {"new"}, error)) << error.toStdString();
    ASSERT_TRUE(target.open(QIODevice::ReadOnly));
    EXPECT_EQ(target.readAll(), "new\r\n");
    EXPECT_EQ(KindAt(data.path(kSettingsFile)), mode_t(S_IFLNK));
}

} // namespace
