#include "app/pages/about_page.h"

#include <QLabel>
#include <QListWidget>

#include "app/app_texts.h"
#include "app/controls/dialog_units.h"
#include "app/model/system_overview.h"
#include "app/platform/qt_text.h"
#include "app/platform/system_figures.h"
#include "app/property_sheet.h"

namespace brevo::app {

CMyPropertyPage6::CMyPropertyPage6(CMyPropertySheet&) {
    const DialogUnits units(font());
    overview_ = new QListWidget(this);
    overview_->setFocusPolicy(Qt::NoFocus);
    overview_->setSelectionMode(QAbstractItemView::NoSelection);
    units.place(overview_, 7, 7, 174, 222);
    auto* version = new QLabel(QString::fromLatin1(text::kVersion), this);
    QFont bold = version->font();
    bold.setBold(true);
    version->setFont(bold);
    units.place(version, 195, 7, 140, 10);
    int y = 24;
    for (const char* credit : text::kCredits) {
        units.place(new QLabel(QString::fromUtf8(credit), this), 195, y, 140, 10);
        y += 10;
    }
}

QString CMyPropertyPage6::title() const {
    return QString::fromLatin1(text::kAboutPageTitle);
}

void CMyPropertyPage6::activate() {
    overview_->clear();
    for (const std::string& line : overviewLines(readSystemFigures())) {
        overview_->addItem(fromPath(line));
    }
}

}  // namespace brevo::app
