#pragma once

#include "app/sheet_page.h"

namespace brevo::app {

class CMyPropertySheet;

// The Settings page: overwriting, the file format and the target language.
class CMyPropertyPage5V : public SheetPage {
    Q_OBJECT

public:
    explicit CMyPropertyPage5V(CMyPropertySheet& sheet);

    QString title() const override;

private:
    CMyPropertySheet& sheet_;
};

}  // namespace brevo::app
