#pragma once

#include <QThread>

#include "batch/batch_user.h"
#include "batch/verify_batch.h"

namespace brevo::app {

class CMyPropertyPage2;
class CMyPropertySheet;

// The window as the batch's user. The batch runs on a thread of its own so that the window
// stays alive; every call reaches the Verify page on the window's thread, and the batch waits
// until it is done there, so the page sees each step as it happens and a Cancel pressed at
// one step is seen at the next.
class WindowBatchUser : public BatchUser {
public:
    WindowBatchUser(CMyPropertySheet& sheet, CMyPropertyPage2& page);

    void appendResultLine(std::string_view line) override;
    void startProgress(int stepsPerFile, int batchSteps) override;
    void startFile(std::string_view path) override;
    void stepProgress() override;
    void skipFileStep() override;
    void setFileProgress(int position) override;
    void setBatchProgress(int position) override;
    bool cancelRequested() override;
    OverwriteAnswer askOverwrite(std::string_view question) override;
    void showSummary(std::string_view text) override;
    void showStop(std::string_view text) override;

private:
    template <typename Call>
    void onWindowThread(Call&& call);

    CMyPropertySheet& sheet_;
    CMyPropertyPage2& page_;
};

// The thread a batch runs on.
class BatchThread : public QThread {
    Q_OBJECT

public:
    BatchThread(BatchRequest request, BatchUser& user)
        : request_(std::move(request)), user_(user) {}

protected:
    void run() override { verifyBatch(request_, user_); }

private:
    const BatchRequest request_;
    BatchUser& user_;
};

}  // namespace brevo::app
