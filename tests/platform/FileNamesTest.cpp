// Files by the names the program holds: on Windows a UTF-8 name is the file
// the system knows by that name, not its bytes read in a code page.

#include "platform/FileNames.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace msrw::platform {
namespace {

namespace fs = std::filesystem;

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

class FileNames : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("msrw-names-" + std::to_string(std::random_device{}()));
        ASSERT_TRUE(fs::create_directory(dir));
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir;
};

TEST_F(FileNames, ANameBeyondAsciiIsTheFileTheSystemKnowsByIt) {
    const fs::path path = dir / u8"kört ñ €.csv";
    const std::string name = Utf8(path);
    std::string error;
    EXPECT_FALSE(RegularFileExists(name));
    const int fd = OpenFileDescriptor(name, FileAccess::Truncate, 0600, error);
    ASSERT_GE(fd, 0) << error;
    CloseFileDescriptor(fd);
    EXPECT_TRUE(fs::is_regular_file(path));
    EXPECT_TRUE(RegularFileExists(name));
    EXPECT_FALSE(RegularFileExists(Utf8(dir))); // a folder is no file

    EXPECT_TRUE(RemoveFile(name));
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(RemoveFile(name));
    EXPECT_LT(OpenFileDescriptor(name, FileAccess::Read, 0600, error), 0);
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace msrw::platform
