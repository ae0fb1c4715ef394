#include "app/model/window_placement.h"

namespace brevo::app {

Point centreOverOwner(const Rect& dialog, const Rect& owner, const Rect& desktop) {
    Point at{owner.left + (owner.width - dialog.width) / 2,
             owner.top + (owner.height - dialog.height) / 2};
    if (at.x < 0) at.x = 0;
    if (at.y < 0) at.y = 0;
    const int right = desktop.left + desktop.width;
    const int bottom = desktop.top + desktop.height;
    if (at.x + dialog.width > right) at.x = right - dialog.width;
    if (at.y + dialog.height > bottom) at.y = bottom - dialog.height;
    return at;
}

}  // namespace brevo::app
