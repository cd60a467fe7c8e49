#include "link/SerialSettingsText.h"

#include <gtest/gtest.h>

using namespace msrw;

TEST(SerialSettingsText, AcceptsEveryFormThePortsArePassed) {
    struct {
        const char* text;
        SerialSettings expected;
    } cases[] = {
        {"9600n , 8, 1", {9600, 'N', 8, 1}},
        {"9600N,8,1", {9600, 'N', 8, 1}},
        {"9600,N,8,1", {9600, 'N', 8, 1}},
        {"9600,o , 7, 1", {9600, 'O', 7, 1}},
        {"19200,s , 7, 1", {19200, 'S', 7, 1}},
        {"9600S,7,1", {9600, 'S', 7, 1}},
        {"115200E,7,1", {115200, 'E', 7, 1}},
        {"1200,m , 7, 1", {1200, 'M', 7, 1}},
        {"9600", {9600, 'N', 8, 1}},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseSerialSettings(c.text);
        ASSERT_TRUE(parsed) << c.text;
        EXPECT_EQ(*parsed, c.expected) << c.text;
    }
}

TEST(SerialSettingsText, RefusesWhatCannotBeOpened) {
    for (const char* text : {"", "N,8,1", "9600X,8,1", "9600N,9,1", "9600N,8,3", "9600N;8;1",
                             "9600N,8,1,1", "99999999N,8,1", "0N,8,1"})
        EXPECT_FALSE(ParseSerialSettings(text)) << text;
}
