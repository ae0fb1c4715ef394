#pragma once

#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "app/model/results_log.h"
#include "app/pages/sheet_page.h"
#include "brx/file_format.h"

class QListView;
class QProgressBar;
class QPushButton;
class QSplitter;

namespace brevo {
struct BatchPlan;
struct PairRecord;
}  // namespace brevo

namespace brevo::app {

class BatchController;
class CMyPropertySheet;
class FindingsPanel;
class ReportWindow;
class ResultsModel;
struct WindowLayout;
struct BatchEnd;

// The Verify page: starts a batch, shows its progress and keeps its running log.
class CMyPropertyPage2 : public SheetPage {
    Q_OBJECT

public:
    explicit CMyPropertyPage2(CMyPropertySheet& sheet);
    // A batch still running is stopped at its next step and waited for.
    ~CMyPropertyPage2() override;

    QString title() const override;
    void activate() override;
    bool mayLeave() override;
    bool mayClose() override;

    // The commands of the page's buttons.
    void verifyBrevos();
    void cancelBatch();
    void clearResults();
    void saveResults();
    // Files dropped on the page are verified as if they had been chosen in the picker.
    void verifyDroppedFiles(const QStringList& paths);
    // A double-clicked results line opens the report of its pair, if there is one: in the
    // system's program for it, or when there is none, in the app.
    void openReportOfLine(int row);
    // The findings of the pair that a results line belongs to go to the findings table.
    void showFindingsOfLine(int row);
    // Stops a running batch at its next step and waits for its worker (the window or the
    // session is ending); the page becomes idle once the end has come through the event loop.
    void stopBatch();

    const std::vector<std::string>& resultLines() const;
    const ResultsModel& results() const { return *results_; }
    const std::string& lastDirectory() const { return lastDirectory_; }
    QPushButton& verifyButton() { return *verifyButton_; }
    QPushButton& cancelButton() { return *cancelButton_; }
    QPushButton& clearButton() { return *clearButton_; }
    QPushButton& saveButton() { return *saveButton_; }
    QProgressBar& fileBar() { return *fileBar_; }
    QProgressBar& batchBar() { return *batchBar_; }
    QListView& resultsView() { return *resultsView_; }
    FindingsPanel& findings() { return *findings_; }
    QSplitter& splitter() { return *splitter_; }
    // The report window, once a report has been read in the app.
    ReportWindow* reportWindow() { return report_; }

    // How the results and the findings share the page, and the window beside the texts.
    void saveLayout(WindowLayout& layout) const;
    void restoreLayout(const WindowLayout& layout);

signals:
    // A batch has ended, for whatever reason, and the page is idle again.
    void batchFinished();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void connectController();
    bool acceptPlan(const BatchPlan& plan);
    void beginBatch();
    void confirmAndRun(BatchPlan plan);
    void askOverwrite(const QByteArray& question);
    void showEnd(const BatchEnd& end);
    void scrollToEnd();
    void endBatch();
    void disableForBatch();
    void enableAfterBatch();
    void resetBars();
    void layOut();
    void addPairs(const ResultsEntries& entries);
    void openReportInApp(int row, const std::string& report);

    CMyPropertySheet& sheet_;
    std::string lastDirectory_;
    std::string resultsDirectory_;  // the target directory of the last batch
    std::unique_ptr<BatchController> controller_;
    bool waitCursorShown_ = false;
    bool scrollPending_ = false;
    bool askingCancel_ = false;
    std::unique_ptr<BatchEnd> endAfterQuestion_;  // a batch that ended while it was asked
    FileFormat batchFormat_ = FileFormat::Text;
    int pairsOfBatch_ = 0;

    QPushButton* verifyButton_;
    QPushButton* cancelButton_;
    QPushButton* clearButton_;
    QPushButton* saveButton_;
    QProgressBar* fileBar_;
    QProgressBar* batchBar_;
    ResultsModel* results_;
    QListView* resultsView_;
    FindingsPanel* findings_;
    QSplitter* splitter_;
    ReportWindow* report_ = nullptr;
};

}  // namespace brevo::app
