#pragma once

#include <string>

#include "app/model/settings_store.h"

namespace brevo::app {

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// How the user left the windows: the main window's size, how the Verify page shares its height
// between the results and the findings, and the window beside the texts with the share of its
// two sides. 0 where nothing is known yet.
struct WindowLayout {
    Size sheet;
    int resultsHeight = 0;
    int findingsHeight = 0;
    Size texts;
    int sourceWidth = 0;
    int targetWidth = 0;
    bool operator==(const WindowLayout&) const = default;
};

// Kept in a section of its own beside the other settings; values that make no sense (none,
// negative, absurdly large) are left at 0.
WindowLayout readWindowLayout(SettingsStore& store);
void writeWindowLayout(SettingsStore& store, const WindowLayout& layout);

// The smallest size the main window may take: the size its pages need, unless the screen is
// smaller, when every control is reached by scrolling instead.
Size smallestSize(Size needed, Size screen);

// The size a window opens in: the size it was left in, or `natural` when none is known, never
// smaller than `smallest` and never larger than the screen.
Size openingSize(Size saved, Size natural, Size smallest, Size screen);

}  // namespace brevo::app
