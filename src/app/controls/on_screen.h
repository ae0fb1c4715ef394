#pragma once

class QWidget;

namespace brevo::app {

// Brings a shown window, frame and all, within the free area of its screen: smaller where it
// is larger than the screen (never below its minimum size), moved where it reaches past an
// edge.
void keepOnScreen(QWidget& window);

// The same for a window just shown, once the window manager has framed it, which some take a
// while to do.
void keepOnScreenOnceFramed(QWidget& window);

}  // namespace brevo::app
