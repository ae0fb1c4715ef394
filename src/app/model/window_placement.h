#pragma once

namespace brevo::app {

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

// Where a dialog goes to stand centred over its owner, kept on the desktop: first clamped to
// the top-left corner, then pushed back from the right and bottom edges, which wins.
Point centreOverOwner(const Rect& dialog, const Rect& owner, const Rect& desktop);

}  // namespace brevo::app
