#include "app/pages/verify_page.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>
#include <utility>

#include "app/app_texts.h"
#include "app/batch/batch_controller.h"
#include "app/batch/results_model.h"
#include "app/controls/dialog_units.h"
#include "app/dialogs/confirm_verify_dialog.h"
#include "app/dialogs/dialogs.h"
#include "app/findings/findings_panel.h"
#include "app/findings/report_window.h"
#include "app/findings/side_by_side_view.h"
#include "app/model/batch_settings.h"
#include "app/model/path_rules.h"
#include "app/model/results_file.h"
#include "app/model/window_layout.h"
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

// Results lines as wide as the list, long ones elided in the middle so that a path keeps its
// start and its file name; the whole line is the tooltip. Below a readable width the list
// scrolls sideways instead.
class ElidingLineDelegate : public QStyledItemDelegate {
public:
    explicit ElidingLineDelegate(QListView& view) : QStyledItemDelegate(&view), view_(view) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const int readable = option.fontMetrics.averageCharWidth() * 40;
        // Room kept for the vertical scroll bar, so that its coming does not add a sideways one.
        const int room = view_.maximumViewportSize().width() -
                         view_.style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 2;
        size.setWidth(std::max(room, readable));
        return size;
    }

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() == QEvent::ToolTip && index.isValid()) {
            QToolTip::showText(event->globalPos(), index.data().toString(), view);
            return true;
        }
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }

private:
    QListView& view_;
};

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
    verifyButton_ = pageButton(text::kVerifyBrevos, this);
    cancelButton_ = pageButton(text::kCancel, this);
    clearButton_ = pageButton(text::kClearResults, this);
    saveButton_ = pageButton(text::kSaveResults, this);
    fileBar_ = progressBar(this);
    batchBar_ = progressBar(this);
    results_ = new ResultsModel(this);
    resultsView_ = new QListView(this);
    resultsView_->setModel(results_);
    resultsView_->setUniformItemSizes(true);
    resultsView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resultsView_->setSelectionMode(QAbstractItemView::SingleSelection);
    resultsView_->setTextElideMode(Qt::ElideMiddle);
    resultsView_->setResizeMode(QListView::Adjust);
    resultsView_->setItemDelegate(new ElidingLineDelegate(*resultsView_));
    findings_ = new FindingsPanel(sheet_.dialogs(), this);
    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(resultsView_);
    splitter_->addWidget(findings_);
    layOut();

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
    connect(resultsView_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) { showFindingsOfLine(index.row()); });
    connectController();
}

// The controls where the dialog units of the old page put them, the results and the findings
// taking what the page gains in height, the buttons spread across its width.
void CMyPropertyPage2::layOut() {
    const DialogUnits units(font());
    const QSize margin = units.size(7, 7);
    const auto label = [&](const char* text) {
        auto* made = new QLabel(QString::fromLatin1(text), this);
        made->setFixedHeight(units.size(0, 10).height());
        return made;
    };
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(margin.width(), margin.height(), margin.width(), margin.height());
    column->setSpacing(0);
    column->addWidget(label(text::kFileBar));
    fileBar_->setFixedHeight(units.size(0, 9).height());
    column->addWidget(fileBar_);
    column->addSpacing(units.size(0, 2).height());
    column->addWidget(label(text::kBatchBar));
    batchBar_->setFixedHeight(units.size(0, 9).height());
    column->addWidget(batchBar_);
    column->addSpacing(units.size(0, 2).height());
    QLabel* resultsLabel = label(text::kResults);
    resultsLabel->setBuddy(resultsView_);
    column->addWidget(resultsLabel);
    column->addWidget(splitter_, 1);
    column->addSpacing(units.size(0, 8).height());
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(0);
    for (QPushButton* button : {cancelButton_, clearButton_, saveButton_, verifyButton_}) {
        button->setMinimumSize(units.size(62, 19));
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        if (button != cancelButton_) buttons->addStretch(1);
        buttons->addWidget(button);
    }
    column->addLayout(buttons);
    resultsView_->setMinimumHeight(units.size(0, 24).height());
    resultsView_->setAccessibleName(QString::fromLatin1(text::kResults).chopped(1));
    // Reading order: the results, their findings, then the buttons from left to right.
    setTabOrder(resultsView_, findings_);
    setTabOrder(findings_, cancelButton_);
    setTabOrder(cancelButton_, clearButton_);
    setTabOrder(clearButton_, saveButton_);
    setTabOrder(saveButton_, verifyButton_);
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
                addPairs(*entries);
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
        settings.keepPathsDuringSession ? settings.translatedFilesPath : lastDirectory_;
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
    const bool keepPaths = settings.keepPathsDuringSession;
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
    batchFormat_ = plan.request.options.fileFormat;
    pairsOfBatch_ = 0;

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    waitCursorShown_ = true;
    controller_->start(std::move(plan.request));
}

void CMyPropertyPage2::addPairs(const ResultsEntries& entries) {
    for (const ResultsEntry& entry : entries) {
        if (entry.kind != ResultsEntry::Kind::PairEnd || !entry.record) continue;
        findings_->addPair(*entry.record, batchFormat_);
        ++pairsOfBatch_;
    }
}

void CMyPropertyPage2::askOverwrite(const QByteArray& question) {
    const Dialogs::Answer answer =
        sheet_.dialogs().message(this, fromLine(question.toStdString()), Dialogs::Icon::Question,
                                 Dialogs::Buttons::YesYesToAllNoCancel);
    controller_->answerOverwrite(replyOf(answer));
}

void CMyPropertyPage2::showEnd(const BatchEnd& end) {
    // Its message waits for the cancel question to close rather than appearing beneath it.
    if (askingCancel_) {
        endAfterQuestion_ = std::make_unique<BatchEnd>(end);
        return;
    }
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
    // A batch of one file shows that file's findings at once.
    if (pairsOfBatch_ == 1) findings_->showPair(findings_->pairs().size() - 1);
    pairsOfBatch_ = 0;
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
    run->hold();
    askingCancel_ = true;
    const Dialogs::Answer answer =
        sheet_.dialogs().message(this, QString::fromLatin1(text::kAskCancel),
                                 Dialogs::Icon::Question, Dialogs::Buttons::YesNo);
    askingCancel_ = false;
    if (answer == Dialogs::Answer::Yes) {
        run->stop();
    } else {
        run->release();
    }
    // Only a batch past its last step can have ended meanwhile: it had nothing left to stop.
    if (endAfterQuestion_) showEnd(*std::exchange(endAfterQuestion_, nullptr));
}

void CMyPropertyPage2::clearResults() {
    findings_->clear();
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
    const auto report = results_->log().reportOfRow(static_cast<std::size_t>(row));
    if (!report) return;
    if (!sheet_.dialogs().openDocument(fromPath(*report))) openReportInApp(row, *report);
}

// Without a program for reports: an RTF report's findings open beside the texts, a text
// report is read as it is.
void CMyPropertyPage2::openReportInApp(int row, const std::string& report) {
    const PairRecord* record = results_->log().recordOfRow(static_cast<std::size_t>(row));
    const std::optional<std::size_t> pair = findings_->pairOf(record);
    const bool rtf = pair && findings_->pairs()[*pair].format == FileFormat::Rtf;
    if (rtf && !findings_->pairs()[*pair].rows.empty()) {
        findings_->openFinding({*pair, 0});
        return;
    }
    if (report_ == nullptr) report_ = new ReportWindow(this);
    const int codePage = pair ? findings_->pairs()[*pair].targetCodePage : 1252;
    report_->showReport(
        report, rtf || report.ends_with(".RTF") ? FileFormat::Rtf : FileFormat::Text, codePage);
}

void CMyPropertyPage2::showFindingsOfLine(int row) {
    if (row < 0) return;
    const PairRecord* record = results_->log().recordOfRow(static_cast<std::size_t>(row));
    if (const auto pair = findings_->pairOf(record)) findings_->showPair(*pair);
}

void CMyPropertyPage2::saveLayout(WindowLayout& layout) const {
    const QList<int> shares = splitter_->sizes();
    layout.resultsHeight = shares.value(0);
    layout.findingsHeight = shares.value(1);
    SideBySideView& texts = findings_->sideBySide();
    layout.texts = {texts.width(), texts.height()};
    const QList<int> sides = texts.splitter().sizes();
    layout.sourceWidth = sides.value(0);
    layout.targetWidth = sides.value(1);
}

void CMyPropertyPage2::restoreLayout(const WindowLayout& layout) {
    if (layout.resultsHeight > 0 && layout.findingsHeight > 0) {
        splitter_->setSizes({layout.resultsHeight, layout.findingsHeight});
    }
    SideBySideView& texts = findings_->sideBySide();
    if (layout.texts.width > 0) texts.resize(layout.texts.width, layout.texts.height);
    if (layout.sourceWidth > 0 && layout.targetWidth > 0) {
        texts.splitter().setSizes({layout.sourceWidth, layout.targetWidth});
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
