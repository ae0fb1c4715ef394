#pragma once

#include <QStringList>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/sheet_page.h"
#include "batch/batch_user.h"

class QListWidget;
class QProgressBar;
class QPushButton;

namespace brevo::app {

class BatchThread;
class CMyPropertySheet;
class WindowBatchUser;

// The Verify page: starts a batch, shows its progress and keeps its running log.
class CMyPropertyPage2 : public SheetPage {
    Q_OBJECT

public:
    explicit CMyPropertyPage2(CMyPropertySheet& sheet);
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
    // A double-clicked results line opens the report of its pair, if there is one.
    void openReportOfLine(int row);

    // What the batch does to the page, always on the window's thread.
    void appendResultLine(std::string_view line);
    void startProgress(int stepsPerFile, int batchSteps);
    void startFile();
    void stepProgress();
    void skipFileStep();
    void setFileProgress(int position);
    void setBatchProgress(int position);

    const std::vector<std::string>& resultLines() const { return lines_; }
    const std::string& lastDirectory() const { return lastDirectory_; }
    QPushButton& verifyButton() { return *verifyButton_; }
    QPushButton& cancelButton() { return *cancelButton_; }
    QPushButton& clearButton() { return *clearButton_; }
    QPushButton& saveButton() { return *saveButton_; }
    QProgressBar& fileBar() { return *fileBar_; }
    QProgressBar& batchBar() { return *batchBar_; }
    QListWidget& resultsList() { return *results_; }

signals:
    // A batch has ended, for whatever reason, and the page is idle again.
    void batchFinished();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void beginBatch();
    void confirmAndRun(std::vector<std::string> files, std::string directory);
    void endBatch();
    void disableForBatch();
    void enableAfterBatch();
    void resetBars();

    CMyPropertySheet& sheet_;
    std::string lastDirectory_;
    std::vector<std::string> lines_;
    std::unique_ptr<WindowBatchUser> user_;
    BatchThread* worker_ = nullptr;
    bool waitCursorShown_ = false;

    QPushButton* verifyButton_;
    QPushButton* cancelButton_;
    QPushButton* clearButton_;
    QPushButton* saveButton_;
    QProgressBar* fileBar_;
    QProgressBar* batchBar_;
    QListWidget* results_;
};

}  // namespace brevo::app
