#include "app/about_page.h"

#include "app/app_texts.h"
#include "app/property_sheet.h"

namespace brevo::app {

CMyPropertyPage6::CMyPropertyPage6(CMyPropertySheet& sheet) : sheet_(sheet) {}

QString CMyPropertyPage6::title() const {
    return QString::fromLatin1(text::kAboutPageTitle);
}

}  // namespace brevo::app
