#pragma once

#include "app/pages/sheet_page.h"

class QListWidget;

namespace brevo::app {

class CMyPropertySheet;

// The About page: the version, and an overview of the machine as it is when the page comes
// to the front.
class CMyPropertyPage6 : public SheetPage {
    Q_OBJECT

public:
    explicit CMyPropertyPage6(CMyPropertySheet& sheet);

    QString title() const override;
    void activate() override;

    QListWidget& overview() { return *overview_; }

private:
    QListWidget* overview_;
};

}  // namespace brevo::app
