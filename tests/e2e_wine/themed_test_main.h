// The main() of a Wine test program whose tests run in two processes: "--theme=on" with Wine's "Light"
// theme active, "--theme=off" (the default) with none. The setting comes before anything else.
#pragma once

#include "tests/e2e_wine/theme_setting.h"

#include <gtest/gtest.h>

inline int RunThemedTests(int argc, char** argv, bool& themeOn) {
    ::testing::InitGoogleTest(&argc, argv);
    themeOn = ThemeSetting::Requested(argc, argv);
    const ThemeSetting setting(themeOn);
    return RUN_ALL_TESTS();
}
