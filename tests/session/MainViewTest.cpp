#include "session/MainView.h"

#include <gtest/gtest.h>

using namespace msrw;

TEST(MainViewControls, NamesFollowTheControlsAndAnUnknownNameIsAMistake) {
    MainView view;
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const auto control = static_cast<Control>(i);
        EXPECT_EQ(ControlNamed(ControlName(control)), control);
        view.enable(control, false);
        EXPECT_FALSE(view.isEnabled(ControlName(control))) << ControlName(control);
    }
    EXPECT_FALSE(ControlNamed("cmdread"));
    EXPECT_THROW((void)view.isEnabled("cmdNoSuchButton"), std::invalid_argument);
}
