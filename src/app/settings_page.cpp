#include "app/settings_page.h"

#include "app/app_texts.h"
#include "app/property_sheet.h"

namespace brevo::app {

CMyPropertyPage5V::CMyPropertyPage5V(CMyPropertySheet& sheet) : sheet_(sheet) {}

QString CMyPropertyPage5V::title() const {
    return QString::fromLatin1(text::kSettingsPageTitle);
}

}  // namespace brevo::app
