// The port directory: ports named on the command line beside the system's.

#include "link/PortDirectory.h"

#include <gtest/gtest.h>

namespace msrw {
namespace {

using platform::SystemKind;

TEST(PortDirectory, APortNamedOnTheCommandLineStaysAndIsMarkedWhenUsb) {
    PortDirectory ports;
    QString error;
    ASSERT_TRUE(ports.applyOverrides({"3=COM12", "5=/dev/reader"}, error));
    ports.assignSystemPorts({{"COM3", false}, {"COM12", true}, {"COM4", false}},
                            SystemKind::Windows);
    EXPECT_EQ(ports.describe(3), "COM12");
    EXPECT_EQ(ports.describe(4), "COM4");
    EXPECT_EQ(ports.describe(5), "/dev/reader");
    EXPECT_FALSE(ports.has(1));
    EXPECT_EQ(ports.usbPorts(), std::vector<int>{3});
}

} // namespace
} // namespace msrw
