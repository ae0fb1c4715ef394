#include "app/paths_page.h"

#include "app/app_texts.h"
#include "app/property_sheet.h"

namespace brevo::app {

CMyPropertyPage4V::CMyPropertyPage4V(CMyPropertySheet& sheet) : sheet_(sheet) {}

QString CMyPropertyPage4V::title() const {
    return QString::fromLatin1(text::kPathsPageTitle);
}

}  // namespace brevo::app
