#include "app/pages/verify_page.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include "app/app_texts.h"
#include "app/batch/batch_controller.h"
#include "app/batch/results_model.h"
#include "app/controls/dialog_units.h"
#include "app/dialogs/confirm_verify_dialog.h"
#include "app/dialogs/dialogs.h"
#include "app/model/batch_settings.h"
#include "app/model/path_rules.h"
#include "app/model/results_file.h"
#include "app/platform/qt_text.h"
#include "app/property_sheet.h"
#include "batch/batch_plan.h"

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

QString rejectionText(const BatchPlan& plan) {
    QString text = QString::fromLatin1(text::kCannotVerify);
    for (const RejectedFile& file : plan.rejected) {
        text += QLatin1Char('\n') + fromPath(file.name) + QStringLiteral(": ") +
                QString::fromStdString(file.reason);
    }
    return text;
}

OverwriteReply replyOf(Dialogs::Answer answer) {
    switch (answer) {
        case Dialogs::Answer::Yes:
            return {OverwriteAnswer::Yes, false};
        case Dialogs::Answer::YesToAll:
            return {OverwriteAnswer::Yes, true};
        case Dialogs::Answer::No:
            return {OverwriteAnswer::No, false};
        case Dialogs::Answer::Cancel:
            return {OverwriteAnswer::Cancel, false};
        case Dialogs::Answer::Ok:
            break;
    }
    return {OverwriteAnswer::Other, false};
}

}  // namespace

CMyPropertyPage2::CMyPropertyPage2(CMyPropertySheet& sheet)
    : sheet_(sheet),
      lastDirectory_(sheet.homeDirectory()),
      controller_(std::make_unique<BatchController>()) {
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
    results_ = new ResultsModel(this);
    resultsView_ = new QListView(this);
    resultsView_->setModel(results_);
    resultsView_->setUniformItemSizes(true);
    resultsView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resultsView_->setSelectionMode(QAbstractItemView::SingleSelection);
    units.place(resultsView_, 7, 60, 334, 142);

    cancelButton_->setEnabled(false);
    clearButton_->setEnabled(false);
    saveButton_->setEnabled(false);
    setAcceptDrops(true);

    connect(verifyButton_, &QPushButton::clicked, this, &CMyPropertyPage2::verifyBrevos);
    connect(cancelButton_, &QPushButton::clicked, this, &CMyPropertyPage2::cancelBatch);
    connect(clearButton_, &QPushButton::clicked, this, &CMyPropertyPage2::clearResults);
    connect(saveButton_, &QPushButton::clicked, this, &CMyPropertyPage2::saveResults);
    connect(resultsView_, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { openReportOfLine(index.row()); });
    connectController();
}

CMyPropertyPage2::~CMyPropertyPage2() {
    // First of all, so that no worker outlives what it reports to.
    controller_.reset();
    if (waitCursorShown_) QGuiApplication::restoreOverrideCursor();
}

void CMyPropertyPage2::connectController() {
    BatchController* batch = controller_.get();
    connect(batch, &BatchController::progressStarted, this, [this](int perFile, int steps) {
        fileBar_->setRange(0, perFile);
        batchBar_->setRange(0, steps);
        resetBars();
    });
    connect(batch, &BatchController::progressChanged, this, [this](int file, int steps) {
        fileBar_->setValue(file);
        batchBar_->setValue(steps);
    });
    connect(batch, &BatchController::resultsAdded, this,
            [this](const std::shared_ptr<const ResultsEntries>& entries) {
                results_->add(*entries);
                scrollToEnd();
            });
    connect(batch, &BatchController::overwriteAsked, this, &CMyPropertyPage2::askOverwrite);
    connect(batch, &BatchController::ended, this, &CMyPropertyPage2::showEnd);
}

QString CMyPropertyPage2::title() const {
    return QString::fromLatin1(text::kVerifyPageTitle);
}

void CMyPropertyPage2::activate() {
    resetBars();
}

bool CMyPropertyPage2::mayLeave() {
    return !sheet_.batchRunning();
}

bool CMyPropertyPage2::mayClose() {
    return !sheet_.batchRunning();
}

const std::vector<std::string>& CMyPropertyPage2::resultLines() const {
    return results_->log().lines();
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
    BatchPlan plan =
        planFiles(pathsOf(choice->files), fileFormatOf(settings), batchRequestFrom(settings));
    if (!acceptPlan(plan)) {
        endBatch();
        return;
    }
    confirmAndRun(std::move(plan));
}

void CMyPropertyPage2::verifyDroppedFiles(const QStringList& paths) {
    if (sheet_.batchRunning() || paths.isEmpty()) return;
    const VerifySettings& settings = sheet_.settings();
    BatchPlan plan = planFiles(pathsOf(paths), fileFormatOf(settings), batchRequestFrom(settings));
    if (!acceptPlan(plan)) return;
    beginBatch();
    confirmAndRun(std::move(plan));
}

// Says what the plan leaves out; true when something is left to verify.
bool CMyPropertyPage2::acceptPlan(const BatchPlan& plan) {
    if (plan.severalDirectories) {
        sheet_.dialogs().message(this, fromLine(kSeveralDirectoriesMessage), Dialogs::Icon::Stop,
                                 Dialogs::Buttons::Ok);
        return false;
    }
    if (!plan.rejected.empty()) {
        sheet_.dialogs().message(this, rejectionText(plan), Dialogs::Icon::Warning,
                                 Dialogs::Buttons::Ok);
    }
    return !plan.request.files.empty();
}

void CMyPropertyPage2::beginBatch() {
    resetBars();
    sheet_.setBatchRunning(true);
    disableForBatch();
}

void CMyPropertyPage2::confirmAndRun(BatchPlan plan) {
    VerifySettings& settings = sheet_.settings();
    const bool keepPaths = settings.keepPathsDuringSession != 0;
    const std::string& directory = plan.request.targetDir;
    (keepPaths ? settings.translatedFilesPath : lastDirectory_) = directory;
    const std::string& home = sheet_.homeDirectory();
    const std::string sourceDir = keepPaths ? settings.orgFilesPath : directory;

    ConfirmVerifyDialog confirm(this, sheet_.dialogs(), static_cast<int>(plan.request.files.size()),
                                fromPath(existingDirectoryOr(sourceDir, home)),
                                fromPath(existingDirectoryOr(directory, home)), keepPaths);
    if (sheet_.dialogs().run(confirm) != QDialog::Accepted) {
        endBatch();
        return;
    }
    const std::string confirmedSource = toPath(confirm.sourceDirectory());
    // The dialog has checked it; a directory gone since then is refused all the same.
    if (takeSourceDirectory(plan, confirmedSource) != SourceProblem::None) {
        endBatch();
        return;
    }
    if (keepPaths) settings.orgFilesPath = confirmedSource;
    resultsDirectory_ = directory;

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    waitCursorShown_ = true;
    controller_->start(std::move(plan.request));
}

void CMyPropertyPage2::askOverwrite(const QByteArray& question) {
    const Dialogs::Answer answer =
        sheet_.dialogs().message(this, fromLine(question.toStdString()), Dialogs::Icon::Question,
                                 Dialogs::Buttons::YesYesToAllNoCancel);
    controller_->answerOverwrite(replyOf(answer));
}

void CMyPropertyPage2::showEnd(const BatchEnd& end) {
    if (!end.message.isEmpty()) {
        sheet_.dialogs().message(this, fromLine(end.message.toStdString()),
                                 end.stopped ? Dialogs::Icon::Stop : Dialogs::Icon::Information,
                                 Dialogs::Buttons::Ok);
    }
    endBatch();
}

void CMyPropertyPage2::scrollToEnd() {
    // Once for all the lines that arrive together.
    if (scrollPending_) return;
    scrollPending_ = true;
    QTimer::singleShot(0, this, [this] {
        scrollPending_ = false;
        resultsView_->scrollToBottom();
    });
}

void CMyPropertyPage2::endBatch() {
    sheet_.setBatchRunning(false);
    if (waitCursorShown_) QGuiApplication::restoreOverrideCursor();
    waitCursorShown_ = false;
    enableAfterBatch();
    emit batchFinished();
}

void CMyPropertyPage2::stopBatch() {
    controller_->stopAndWait();
}

void CMyPropertyPage2::disableForBatch() {
    verifyButton_->setEnabled(false);
    saveButton_->setEnabled(false);
    clearButton_->setEnabled(false);
    cancelButton_->setEnabled(true);
    cancelButton_->setFocus();
}

void CMyPropertyPage2::enableAfterBatch() {
    const bool anyLines = results_->rowCount() > 0;
    saveButton_->setEnabled(anyLines);
    clearButton_->setEnabled(anyLines);
    cancelButton_->setEnabled(false);
    verifyButton_->setEnabled(true);
    verifyButton_->setFocus();
}

void CMyPropertyPage2::cancelBatch() {
    // The question belongs to the batch running as it is asked: a Yes that comes after that
    // batch has ended reaches nothing.
    const std::shared_ptr<BatchRun> run = controller_->currentRun();
    if (!run) return;
    const Dialogs::Answer answer =
        sheet_.dialogs().message(this, QString::fromLatin1(text::kAskCancel),
                                 Dialogs::Icon::Question, Dialogs::Buttons::YesNo);
    if (answer == Dialogs::Answer::Yes) run->stop();
}

void CMyPropertyPage2::clearResults() {
    results_->clear();
    saveButton_->setEnabled(false);
    clearButton_->setEnabled(false);
}

void CMyPropertyPage2::saveResults() {
    const std::optional<QString> path = sheet_.dialogs().chooseSaveFile(
        this, QString::fromLatin1(text::kSaveResultsAs), QString::fromLatin1(text::kTextFilter),
        fromPath(resultsDirectory_), QString::fromLatin1(text::kResultsName));
    if (!path) return;
    for (std::string line : app::saveResults(toPath(*path), resultLines())) {
        results_->append(std::move(line));
    }
    scrollToEnd();
}

void CMyPropertyPage2::openReportOfLine(int row) {
    if (row < 0) return;
    if (const auto report = results_->log().reportOfRow(static_cast<std::size_t>(row))) {
        sheet_.dialogs().openDocument(fromPath(*report));
    }
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
