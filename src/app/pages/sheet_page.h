#pragma once

#include <QWidget>

namespace brevo::app {

// A page of the main sheet. The sheet asks the active page before another tab is chosen and
// before the sheet closes; either may be refused.
class SheetPage : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    virtual QString title() const = 0;
    // The page comes to the front.
    virtual void activate() {}
    // Another tab is chosen: false keeps this one.
    virtual bool mayLeave() { return true; }
    // The sheet is to close: false keeps it open.
    virtual bool mayClose() { return true; }
};

}  // namespace brevo::app
