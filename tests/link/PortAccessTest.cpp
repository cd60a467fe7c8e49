#include "link/PortAccess.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace msrw;

TEST(PortAccess, NamesTheGroupToJoinOnlyWhenJoiningItLetsTheUserIn) {
    struct {
        const char* what;
        DeviceAccess access;
        const char* command; // nullptr: no group to join is offered
    } cases[] = {
        {"the serial group", {"dialout", true}, "\"sudo usermod -aG dialout $USER\""},
        {"another distribution's group", {"uucp", true}, "\"sudo usermod -aG uucp $USER\""},
        {"root's group", {"root", true}, nullptr},
        {"a group that may not read and write it", {"tty", false}, nullptr},
        {"a file that could not be looked at", {}, nullptr},
    };
    for (const auto& c : cases) {
        const std::string text = PortRefusedMessage("/dev/ttyUSB0", c.access).toStdString();
        EXPECT_EQ(text.rfind("Port /dev/ttyUSB0 could not be opened: permission denied, or another "
                             "program is using it. ",
                             0),
                  0u)
            << c.what << ": " << text;
        if (c.command) {
            EXPECT_NE(text.find(c.command), std::string::npos) << c.what << ": " << text;
            EXPECT_NE(text.find("\"" + std::string(c.access.group.toStdString()) + "\""),
                      std::string::npos)
                << c.what << ": " << text;
            EXPECT_NE(text.find("log in again"), std::string::npos) << c.what << ": " << text;
        } else {
            EXPECT_EQ(text.find("usermod"), std::string::npos) << c.what << ": " << text;
            EXPECT_NE(text.find("administrator"), std::string::npos) << c.what << ": " << text;
        }
    }
}

TEST(PortAccess, ABareNameIsADeviceUnderDevAndAPathIsItself) {
    const std::pair<const char*, const char*> cases[] = {
        {"ttyUSB0", "/dev/ttyUSB0"}, {"ttyS1", "/dev/ttyS1"}, {"/dev/pts/3", "/dev/pts/3"},
        {"./port", "./port"},        {"../port", "../port"},
    };
    for (const auto& [given, file] : cases)
        EXPECT_EQ(DeviceFileOf(given).toStdString(), file) << given;
}

TEST(PortAccess, TheGroupMayUseTheDeviceOnlyWhenItMayReadAndWriteIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath("device");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QFile::Permissions owner = QFile::ReadOwner | QFile::WriteOwner;
    const std::pair<QFile::Permissions, bool> cases[] = {
        {owner | QFile::ReadGroup | QFile::WriteGroup, true},
        {owner | QFile::WriteGroup, false},
        {owner | QFile::ReadGroup, false},
        {owner | QFile::ReadOther | QFile::WriteOther, false},
    };
    for (const auto& [permissions, mayUse] : cases) {
        ASSERT_TRUE(QFile::setPermissions(path, permissions));
        const DeviceAccess access = DeviceAccessOf(path);
        EXPECT_FALSE(access.group.isEmpty());
        EXPECT_EQ(access.groupMayUse, mayUse) << int(permissions);
    }
    EXPECT_TRUE(DeviceAccessOf(dir.filePath("none")).group.isEmpty());
}
