#pragma once

#include "app/sheet_page.h"

namespace brevo::app {

class CMyPropertySheet;

// The About page: the version and an overview of the machine.
class CMyPropertyPage6 : public SheetPage {
    Q_OBJECT

public:
    explicit CMyPropertyPage6(CMyPropertySheet& sheet);

    QString title() const override;

private:
    CMyPropertySheet& sheet_;
};

}  // namespace brevo::app
