#include "app/model/window_layout.h"

#include <algorithm>

namespace brevo::app {
namespace {

constexpr char kWindow[] = "WINDOW";
// Larger than any screen: a value past it was not written by this program.
constexpr int kLargest = 100000;

int readLength(SettingsStore& store, const char* key) {
    const int value = store.readInt(kWindow, key).value_or(0);
    return value > 0 && value <= kLargest ? value : 0;
}

Size readSize(SettingsStore& store, const char* width, const char* height) {
    Size size{readLength(store, width), readLength(store, height)};
    if (size.width == 0 || size.height == 0) return {};
    return size;
}

}  // namespace

WindowLayout readWindowLayout(SettingsStore& store) {
    WindowLayout layout;
    layout.sheet = readSize(store, "WIDTH", "HEIGHT");
    layout.resultsHeight = readLength(store, "RESULTS_HEIGHT");
    layout.findingsHeight = readLength(store, "FINDINGS_HEIGHT");
    layout.texts = readSize(store, "TEXTS_WIDTH", "TEXTS_HEIGHT");
    layout.sourceWidth = readLength(store, "SOURCE_WIDTH");
    layout.targetWidth = readLength(store, "TARGET_WIDTH");
    return layout;
}

void writeWindowLayout(SettingsStore& store, const WindowLayout& layout) {
    store.writeInt(kWindow, "WIDTH", layout.sheet.width);
    store.writeInt(kWindow, "HEIGHT", layout.sheet.height);
    store.writeInt(kWindow, "RESULTS_HEIGHT", layout.resultsHeight);
    store.writeInt(kWindow, "FINDINGS_HEIGHT", layout.findingsHeight);
    store.writeInt(kWindow, "TEXTS_WIDTH", layout.texts.width);
    store.writeInt(kWindow, "TEXTS_HEIGHT", layout.texts.height);
    store.writeInt(kWindow, "SOURCE_WIDTH", layout.sourceWidth);
    store.writeInt(kWindow, "TARGET_WIDTH", layout.targetWidth);
}

Size smallestSize(Size needed, Size screen) {
    if (screen.width <= 0 || screen.height <= 0) return needed;
    return {std::min(needed.width, screen.width), std::min(needed.height, screen.height)};
}

Size openingSize(Size saved, Size natural, Size smallest, Size screen) {
    Size size = saved.width > 0 && saved.height > 0 ? saved : natural;
    size.width = std::max(size.width, smallest.width);
    size.height = std::max(size.height, smallest.height);
    if (screen.width > 0 && screen.height > 0) {
        size.width = std::min(size.width, screen.width);
        size.height = std::min(size.height, screen.height);
    }
    return size;
}

}  // namespace brevo::app
