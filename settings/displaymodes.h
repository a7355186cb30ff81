#pragma once

#include <array>

// The screen modes offered to the user, in the order shown. Their text goes
// into locale.ini unchanged, so the game must understand every one of them.
inline constexpr std::array<const char *, 10> DisplayModeList = {
    "640x480x16",   "640x480x32",   "800x600x16",   "800x600x32",   "1024x768x16",
    "1024x768x32",  "1280x1024x16", "1280x1024x32", "1600x1200x16", "1600x1200x32",
};
