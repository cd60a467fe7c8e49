#include "link/PortNumbering.h"
#include "link/PortDirectory.h"

#include <gtest/gtest.h>

namespace msrw {
namespace {

using platform::SystemKind;

// "1=COM1* 3=COM3": the operator's ports, a star marking USB.
std::string Shown(const std::vector<OperatorPort>& ports) {
    std::string out;
    for (const OperatorPort& p : ports)
        out +=
            (out.empty() ? "" : " ") + std::to_string(p.number) + "=" + p.name + (p.usb ? "*" : "");
    return out;
}

struct Listing {
    const char* what;
    SystemKind system;
    std::vector<SystemPort> listed;
    const char* expected;
};

TEST(PortNumbering, TheSystemsListBecomesTheOperatorsPorts) {
    const Listing cases[] = {
        {"COMN is port N, whatever the order",
         SystemKind::Windows,
         {{"COM7", false}, {"COM3", false}, {"COM1", true}},
         "1=COM1* 3=COM3 7=COM7"},
        {"COM10 is the last, COM11 and above are out of reach",
         SystemKind::Windows,
         {{"COM12", true}, {"COM10", false}, {"COM11", false}, {"COM0", false}},
         "10=COM10"},
        {"names that are not COMN are left out",
         SystemKind::Windows,
         {{"CNCA0", false}, {"COM", false}, {"XCOM2", false}, {"com4", true}},
         "4=com4*"},
        {"elsewhere, a stable order: ttyS2 before ttyS10",
         SystemKind::Posix,
         {{"ttyS10", false}, {"ttyUSB0", true}, {"ttyS2", false}, {"ttyS0", false}},
         "1=ttyS0 2=ttyS2 3=ttyS10 4=ttyUSB0*"},
        {"elsewhere, COM names are not taken by number",
         SystemKind::Posix,
         {{"COM3", false}, {"COM12", false}},
         "1=COM3 2=COM12"},
        {"ten at most",
         SystemKind::Posix,
         {{"ttyS0", false},
          {"ttyS1", false},
          {"ttyS2", false},
          {"ttyS3", false},
          {"ttyS4", false},
          {"ttyS5", false},
          {"ttyS6", false},
          {"ttyS7", false},
          {"ttyS8", false},
          {"ttyS9", false},
          {"ttyS10", false}},
         "1=ttyS0 2=ttyS1 3=ttyS2 4=ttyS3 5=ttyS4 6=ttyS5 7=ttyS6 8=ttyS7 9=ttyS8 10=ttyS9"},
    };
    for (const Listing& c : cases)
        EXPECT_EQ(Shown(OperatorPorts(c.listed, c.system)), c.expected) << c.what;
}

TEST(PortNumbering, APortNamedOnTheCommandLineStaysAndIsMarkedWhenUsb) {
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
