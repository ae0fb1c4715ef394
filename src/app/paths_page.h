#pragma once

#include "app/sheet_page.h"

namespace brevo::app {

class CMyPropertySheet;

// The Paths page: where the source and the translated BRX files are.
class CMyPropertyPage4V : public SheetPage {
    Q_OBJECT

public:
    explicit CMyPropertyPage4V(CMyPropertySheet& sheet);

    QString title() const override;

private:
    CMyPropertySheet& sheet_;
};

}  // namespace brevo::app
