#include "app/verify_page.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QUrl>

#include "app/app_texts.h"
#include "app/confirm_verify_dialog.h"
#include "app/dialog_units.h"
#include "app/dialogs.h"
#include "app/model/batch_settings.h"
#include "app/model/path_rules.h"
#include "app/model/results_file.h"
#include "app/property_sheet.h"
#include "app/qt_text.h"
#include "app/window_batch_user.h"
#include "batch/file_selection.h"
#include "batch/verify_batch.h"

namespace brevo::app {
namespace {

QPushButton* pageButton(const char* label, QWidget* page) {
    return new QPushButton(QString::fromLatin1(label), page);
}

QProgressBar* progressBar(QWidget* page) {
    auto* bar = new QProgressBar(page);
    bar->setTextVisible(false);
    bar->setRange(0, 100);
    bar->setValue(0);
    return bar;
}

QString filterOf(const VerifySettings& settings) {
    return QString::fromLatin1(fileFormatOf(settings) == FileFormat::Rtf ? text::kRtfFilter
                                                                         : text::kTextFilter);
}

std::vector<std::string> pathsOf(const QStringList& files) {
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(files.size()));
    for (const QString& file : files) paths.push_back(toPath(file));
    return paths;
}

QString rejectionText(const FileSelection& selection) {
    QString text = QString::fromLatin1(text::kCannotVerify);
    for (const RejectedFile& file : selection.rejected) {
        text += QLatin1Char('\n') + fromPath(file.name) + QStringLiteral(": ") +
                QString::fromStdString(file.reason);
    }
    return text;
}

}  // namespace

CMyPropertyPage2::CMyPropertyPage2(CMyPropertySheet& sheet)
    : sheet_(sheet), lastDirectory_(sheet.homeDirectory()) {
    const DialogUnits units(font());
    verifyButton_ = pageButton(text::kVerifyBrevos, this);
    cancelButton_ = pageButton(text::kCancel, this);
    clearButton_ = pageButton(text::kClearResults, this);
    saveButton_ = pageButton(text::kSaveResults, this);
    units.place(verifyButton_, 279, 210, 62, 19);
    units.place(cancelButton_, 7, 210, 62, 19);
    units.place(clearButton_, 98, 210, 62, 19);
    units.place(saveButton_, 188, 210, 62, 19);
    units.place(new QLabel(QString::fromLatin1(text::kFileBar), this), 7, 7, 80, 10);
    fileBar_ = progressBar(this);
    units.place(fileBar_, 7, 17, 334, 9);
    units.place(new QLabel(QString::fromLatin1(text::kBatchBar), this), 7, 28, 80, 10);
    batchBar_ = progressBar(this);
    units.place(batchBar_, 7, 39, 334, 9);
    units.place(new QLabel(QString::fromLatin1(text::kResults), this), 7, 50, 80, 10);
    results_ = new QListWidget(this);
    results_->setUniformItemSizes(true);
    results_->setSelectionMode(QAbstractItemView::SingleSelection);
    units.place(results_, 7, 60, 334, 142);

    cancelButton_->setEnabled(false);
    clearButton_->setEnabled(false);
    saveButton_->setEnabled(false);
    setAcceptDrops(true);

    connect(verifyButton_, &QPushButton::clicked, this, &CMyPropertyPage2::verifyBrevos);
    connect(cancelButton_, &QPushButton::clicked, this, &CMyPropertyPage2::cancelBatch);
    connect(clearButton_, &QPushButton::clicked, this, &CMyPropertyPage2::clearResults);
    connect(saveButton_, &QPushButton::clicked, this, &CMyPropertyPage2::saveResults);
    connect(results_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { openReportOfLine(results_->row(item)); });
}

CMyPropertyPage2::~CMyPropertyPage2() {
    if (worker_ != nullptr) {
        // The sheet cannot close while a batch runs; if it is torn down all the same, the batch
        // is cancelled and waited for, so that nothing reaches a page that is gone.
        sheet_.setCancelRequested(true);
        worker_->wait();
    }
}

QString CMyPropertyPage2::title() const {
    return QString::fromLatin1(text::kVerifyPageTitle);
}

void CMyPropertyPage2::activate() {
    sheet_.setCancelRequested(false);
    resetBars();
}

bool CMyPropertyPage2::mayLeave() {
    return !sheet_.batchRunning();
}

bool CMyPropertyPage2::mayClose() {
    return !sheet_.batchRunning();
}

void CMyPropertyPage2::resetBars() {
    fileBar_->setValue(fileBar_->minimum());
    batchBar_->setValue(batchBar_->minimum());
}

void CMyPropertyPage2::verifyBrevos() {
    if (sheet_.batchRunning()) return;
    beginBatch();
    const VerifySettings& settings = sheet_.settings();
    const std::string& start =
        settings.keepPathsDuringSession != 0 ? settings.translatedFilesPath : lastDirectory_;
    const std::optional<FileChoice> choice = sheet_.dialogs().chooseFiles(
        this, QString::fromLatin1(text::kSelectFiles), filterOf(settings), fromPath(start));
    if (!choice) {
        endBatch();
        return;
    }
    confirmAndRun(pathsOf(choice->files), toPath(choice->directory));
}

void CMyPropertyPage2::verifyDroppedFiles(const QStringList& paths) {
    if (sheet_.batchRunning() || paths.isEmpty()) return;
    FileSelection selection = selectFiles(pathsOf(paths), fileFormatOf(sheet_.settings()));
    if (selection.severalDirectories) {
        sheet_.dialogs().message(this, QString::fromLatin1(text::kOneDirectory),
                                 Dialogs::Icon::Stop, Dialogs::Buttons::Ok);
        return;
    }
    if (!selection.rejected.empty()) {
        sheet_.dialogs().message(this, rejectionText(selection), Dialogs::Icon::Warning,
                                 Dialogs::Buttons::Ok);
    }
    if (selection.files.empty()) return;
    beginBatch();
    confirmAndRun(std::move(selection.files), std::move(selection.directory));
}

void CMyPropertyPage2::beginBatch() {
    resetBars();
    sheet_.setBatchRunning(true);
    disableForBatch();
}

void CMyPropertyPage2::confirmAndRun(std::vector<std::string> files, std::string directory) {
    orderSelection(files);
    VerifySettings& settings = sheet_.settings();
    const bool keepPaths = settings.keepPathsDuringSession != 0;
    (keepPaths ? settings.translatedFilesPath : lastDirectory_) = directory;
    const std::string& home = sheet_.homeDirectory();
    const std::string sourceDir = keepPaths ? settings.orgFilesPath : directory;

    ConfirmVerifyDialog confirm(this, sheet_.dialogs(), static_cast<int>(files.size()),
                                fromPath(existingDirectoryOr(sourceDir, home)),
                                fromPath(existingDirectoryOr(directory, home)), keepPaths);
    if (sheet_.dialogs().run(confirm) != QDialog::Accepted) {
        endBatch();
        return;
    }
    const std::string confirmedSource = toPath(confirm.sourceDirectory());
    if (keepPaths) settings.orgFilesPath = confirmedSource;

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    waitCursorShown_ = true;
    user_ = std::make_unique<WindowBatchUser>(sheet_, *this);
    worker_ = new BatchThread(
        batchRequestFrom(settings, std::move(files), confirmedSource, directory), *user_);
    connect(worker_, &QThread::finished, this, &CMyPropertyPage2::endBatch);
    worker_->start();
}

void CMyPropertyPage2::endBatch() {
    if (worker_ != nullptr) {
        worker_->wait();
        worker_->deleteLater();
        worker_ = nullptr;
    }
    user_.reset();
    sheet_.setBatchRunning(false);
    sheet_.setCancelRequested(false);
    if (waitCursorShown_) QGuiApplication::restoreOverrideCursor();
    waitCursorShown_ = false;
    enableAfterBatch();
    emit batchFinished();
}

void CMyPropertyPage2::disableForBatch() {
    verifyButton_->setEnabled(false);
    saveButton_->setEnabled(false);
    clearButton_->setEnabled(false);
    cancelButton_->setEnabled(true);
    cancelButton_->setFocus();
}

void CMyPropertyPage2::enableAfterBatch() {
    const bool anyLines = !lines_.empty();
    saveButton_->setEnabled(anyLines);
    clearButton_->setEnabled(anyLines);
    cancelButton_->setEnabled(false);
    verifyButton_->setEnabled(true);
    verifyButton_->setFocus();
}

void CMyPropertyPage2::cancelBatch() {
    if (!sheet_.batchRunning()) return;
    const Dialogs::Answer answer =
        sheet_.dialogs().message(this, QString::fromLatin1(text::kAskCancel),
                                 Dialogs::Icon::Question, Dialogs::Buttons::YesNo);
    sheet_.setCancelRequested(answer == Dialogs::Answer::Yes);
}

void CMyPropertyPage2::clearResults() {
    lines_.clear();
    results_->clear();
    saveButton_->setEnabled(false);
    clearButton_->setEnabled(false);
}

void CMyPropertyPage2::saveResults() {
    const std::optional<QString> path = sheet_.dialogs().chooseSaveFile(
        this, QString::fromLatin1(text::kSaveResultsAs), QString::fromLatin1(text::kTextFilter),
        QString::fromLatin1(text::kResultsName));
    if (!path) return;
    for (const std::string& line : app::saveResults(toPath(*path), lines_)) {
        appendResultLine(line);
    }
}

void CMyPropertyPage2::openReportOfLine(int row) {
    if (row < 0) return;
    if (const auto report = reportOfResultLine(lines_, static_cast<std::size_t>(row))) {
        sheet_.dialogs().openDocument(fromPath(*report));
    }
}

void CMyPropertyPage2::appendResultLine(std::string_view line) {
    lines_.emplace_back(line);
    results_->addItem(fromLine(line));
    results_->scrollToBottom();
}

void CMyPropertyPage2::startProgress(int stepsPerFile, int batchSteps) {
    fileBar_->setRange(0, stepsPerFile);
    batchBar_->setRange(0, batchSteps);
    resetBars();
}

void CMyPropertyPage2::startFile() {
    fileBar_->setValue(0);
}

void CMyPropertyPage2::stepProgress() {
    fileBar_->setValue(std::min(fileBar_->value() + 1, fileBar_->maximum()));
    skipFileStep();
}

void CMyPropertyPage2::skipFileStep() {
    batchBar_->setValue(std::min(batchBar_->value() + 1, batchBar_->maximum()));
}

void CMyPropertyPage2::setFileProgress(int position) {
    fileBar_->setValue(position);
}

void CMyPropertyPage2::setBatchProgress(int position) {
    batchBar_->setValue(position);
}

void CMyPropertyPage2::dragEnterEvent(QDragEnterEvent* event) {
    if (!sheet_.batchRunning() && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMyPropertyPage2::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths.push_back(url.toLocalFile());
    }
    event->acceptProposedAction();
    // After the drop has finished, so that the source of the drag is not kept waiting.
    QMetaObject::invokeMethod(
        this, [this, paths] { verifyDroppedFiles(paths); }, Qt::QueuedConnection);
}

}  // namespace brevo::app
