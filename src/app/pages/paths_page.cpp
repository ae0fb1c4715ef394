#include "app/pages/paths_page.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/app_texts.h"
#include "app/controls/dialog_units.h"
#include "app/controls/path_edit.h"
#include "app/dialogs/dialogs.h"
#include "app/model/path_rules.h"
#include "app/platform/qt_text.h"
#include "app/property_sheet.h"
#include "base/file_names.h"

namespace brevo::app {
namespace {

QString latin(const char* text) {
    return QString::fromLatin1(text);
}

}  // namespace

CMyPropertyPage4V::CMyPropertyPage4V(CMyPropertySheet& sheet) : sheet_(sheet) {
    const DialogUnits units(font());
    units.place(new QGroupBox(latin(text::kPathsGroup), this), 7, 8, 334, 152);
    units.place(new QLabel(latin(text::kSourceFiles), this), 11, 30, 133, 10);
    sourceEdit_ = new QLineEdit(this);
    units.place(sourceEdit_, 11, 41, 323, 14);
    browseSource_ = new QPushButton(latin(text::kBrowseSource), this);
    units.place(browseSource_, 11, 59, 42, 14);
    units.place(new QLabel(latin(text::kTranslatedFiles), this), 11, 92, 133, 10);
    translatedEdit_ = new QLineEdit(this);
    units.place(translatedEdit_, 11, 103, 323, 14);
    browseTranslated_ = new QPushButton(latin(text::kBrowseTranslated), this);
    units.place(browseTranslated_, 11, 121, 42, 14);
    units.place(new QGroupBox(latin(text::kKeepPaths), this), 7, 180, 96, 49);
    duringSession_ = new QCheckBox(latin(text::kDuringSession), this);
    units.place(duringSession_, 14, 194, 75, 10);
    betweenSessions_ = new QCheckBox(latin(text::kBetweenSessions), this);
    units.place(betweenSessions_, 14, 210, 78, 10);

    for (QWidget* widget : std::initializer_list<QWidget*>{sourceEdit_, browseSource_,
                                                           translatedEdit_, browseTranslated_}) {
        widget->raise();
    }
    sourceEdit_->installEventFilter(this);
    translatedEdit_->installEventFilter(this);
    connect(duringSession_, &QCheckBox::clicked, this, &CMyPropertyPage4V::duringSessionClicked);
    connect(browseSource_, &QPushButton::clicked, this, &CMyPropertyPage4V::browseSource);
    connect(browseTranslated_, &QPushButton::clicked, this, &CMyPropertyPage4V::browseTranslated);
}

QString CMyPropertyPage4V::title() const {
    return latin(text::kPathsPageTitle);
}

void CMyPropertyPage4V::activate() {
    loadData();
}

void CMyPropertyPage4V::loadData() {
    const VerifySettings& settings = sheet_.settings();
    betweenSessions_->setChecked(settings.keepPathsBetweenSessions);
    duringSession_->setChecked(settings.keepPathsDuringSession);
    sourceEdit_->setText(fromPath(settings.orgFilesPath));
    translatedEdit_->setText(fromPath(settings.translatedFilesPath));
    enableForSession();
}

bool CMyPropertyPage4V::saveData() {
    for (QLineEdit* edit : {sourceEdit_, translatedEdit_}) {
        if (edit->text().size() > text::kLongestPath) {
            sheet_.dialogs().message(this, latin(text::kTooLong).arg(text::kLongestPath),
                                     Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
            edit->setFocus();
            return false;
        }
    }
    VerifySettings& settings = sheet_.settings();
    settings.keepPathsBetweenSessions = betweenSessions_->isChecked();
    settings.keepPathsDuringSession = duringSession_->isChecked();
    settings.orgFilesPath = toPath(sourceEdit_->text());
    settings.translatedFilesPath = toPath(translatedEdit_->text());
    enableForSession();
    return true;
}

// Without "During Session" the directories are not kept, so they are not edited either; the
// Browse buttons still show where a batch would look.
void CMyPropertyPage4V::enableForSession() {
    const bool keep = sheet_.settings().keepPathsDuringSession;
    betweenSessions_->setEnabled(keep);
    sourceEdit_->setEnabled(keep);
    translatedEdit_->setEnabled(keep);
}

bool CMyPropertyPage4V::eventFilter(QObject* watched, QEvent* event) {
    if (leavesForAnotherControl(*event)) {
        if (watched == sourceEdit_) editLeft(sheet_.settings().orgFilesPath);
        if (watched == translatedEdit_) editLeft(sheet_.settings().translatedFilesPath);
    }
    return SheetPage::eventFilter(watched, event);
}

void CMyPropertyPage4V::editLeft(std::string& path) {
    if (!saveData()) return;
    if (!path.empty() && isDirSeparator(path.back())) return;
    path = withTrailingSeparator(std::move(path));
    loadData();
}

void CMyPropertyPage4V::duringSessionClicked() {
    if (!saveData()) return;
    VerifySettings& settings = sheet_.settings();
    if (settings.keepPathsDuringSession) {
        loadData();
        return;
    }
    settings.keepPathsBetweenSessions = false;
    betweenSessions_->setChecked(false);
    const std::string& home = sheet_.homeDirectory();
    settings.orgFilesPath = existingDirectoryOr(settings.orgFilesPath, home);
    settings.translatedFilesPath = existingDirectoryOr(settings.translatedFilesPath, home);
    loadData();
}

void CMyPropertyPage4V::browseSource() {
    browse(sheet_.settings().orgFilesPath, text::kSelectSourceFiles);
}

void CMyPropertyPage4V::browseTranslated() {
    browse(sheet_.settings().translatedFilesPath, text::kSelectTranslatedFiles);
}

void CMyPropertyPage4V::browse(std::string& path, const char* title) {
    const bool startThere = sheet_.settings().keepPathsDuringSession;
    const std::optional<QString> chosen = sheet_.dialogs().chooseDirectory(
        this, latin(title), startThere ? fromPath(path) : QString());
    if (!chosen) return;
    path = toPath(*chosen);
    loadData();
}

bool CMyPropertyPage4V::checkBothPaths() {
    return checkPathEdit(*sourceEdit_, this, sheet_.dialogs()) && saveData() &&
           checkPathEdit(*translatedEdit_, this, sheet_.dialogs()) && saveData();
}

bool CMyPropertyPage4V::mayLeave() {
    if (!sheet_.settings().keepPathsDuringSession) return saveData();
    return checkBothPaths();
}

bool CMyPropertyPage4V::mayClose() {
    return checkBothPaths();
}

}  // namespace brevo::app
