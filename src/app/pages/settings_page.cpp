#include "app/pages/settings_page.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include "app/app_texts.h"
#include "app/controls/dialog_units.h"
#include "app/property_sheet.h"

namespace brevo::app {
namespace {

QString latin(const char* text) {
    return QString::fromLatin1(text);
}

// The first entry that begins with `stored`, compared without regard to case, or -1.
int entryBeginningWith(const QComboBox& list, const QString& stored) {
    for (int i = 0; i < list.count(); ++i) {
        if (list.itemText(i).startsWith(stored, Qt::CaseInsensitive)) return i;
    }
    return -1;
}

QRadioButton* radio(const char* label, QButtonGroup& group, int id, QWidget* page) {
    auto* button = new QRadioButton(latin(label), page);
    group.addButton(button, id);
    return button;
}

}  // namespace

CMyPropertyPage5V::CMyPropertyPage5V(CMyPropertySheet& sheet) : sheet_(sheet) {
    const DialogUnits units(font());
    auto* overwrite = new QButtonGroup(this);
    auto* format = new QButtonGroup(this);
    units.place(new QGroupBox(latin(text::kOverwriteGroup), this), 7, 9, 91, 45);
    alwaysPrompt_ = radio(text::kAlwaysPrompt, *overwrite, 0, this);
    units.place(alwaysPrompt_, 15, 21, 62, 10);
    alwaysOverwrite_ = radio(text::kAlwaysOverwrite, *overwrite, 1, this);
    units.place(alwaysOverwrite_, 15, 35, 70, 10);
    units.place(new QGroupBox(latin(text::kFormatGroup), this), 8, 64, 91, 45);
    ansiText_ = radio(text::kAnsiText, *format, 0, this);
    units.place(ansiText_, 16, 77, 49, 10);
    rtf_ = radio(text::kRtf, *format, 1, this);
    units.place(rtf_, 16, 91, 30, 10);
    units.place(new QGroupBox(latin(text::kLanguageGroup), this), 8, 120, 91, 55);
    auto* label = new QLabel(latin(text::kTargetLanguage), this);
    units.place(label, 12, 138, 66, 10);
    languages_ = new QComboBox(this);
    for (const char* language : text::kLanguages) languages_->addItem(latin(language));
    languages_->setMaxVisibleItems(8);
    units.place(languages_, 12, 150, 84, 14);
    label->setBuddy(languages_);
    for (QWidget* control : std::initializer_list<QWidget*>{alwaysPrompt_, alwaysOverwrite_,
                                                            ansiText_, rtf_, label, languages_}) {
        control->raise();
    }
}

QString CMyPropertyPage5V::title() const {
    return latin(text::kSettingsPageTitle);
}

void CMyPropertyPage5V::activate() {
    loadData();
}

void CMyPropertyPage5V::loadData() {
    VerifySettings& settings = sheet_.settings();
    alwaysPrompt_->setChecked(!settings.overwriteFiles);
    alwaysOverwrite_->setChecked(settings.overwriteFiles);
    ansiText_->setChecked(settings.fileFormat == FileFormat::Text);
    rtf_->setChecked(settings.fileFormat == FileFormat::Rtf);
    const int entry =
        entryBeginningWith(*languages_, QString::fromStdString(settings.targetLanguage));
    languages_->setCurrentIndex(entry);
    settings.targetLanguageSelection = entry;
}

void CMyPropertyPage5V::saveData() {
    VerifySettings& settings = sheet_.settings();
    settings.overwriteFiles = alwaysOverwrite_->isChecked();
    settings.fileFormat = rtf_->isChecked() ? FileFormat::Rtf : FileFormat::Text;
    const int entry = languages_->currentIndex();
    settings.targetLanguage = entry < 0 ? std::string() : languages_->currentText().toStdString();
    settings.targetLanguageSelection = entry;
}

bool CMyPropertyPage5V::mayLeave() {
    saveData();
    return true;
}

bool CMyPropertyPage5V::mayClose() {
    saveData();
    return true;
}

}  // namespace brevo::app
