#include "app/window_batch_user.h"

#include <QMetaObject>
#include <QThread>

#include "app/dialogs.h"
#include "app/property_sheet.h"
#include "app/qt_text.h"
#include "app/verify_page.h"

namespace brevo::app {

WindowBatchUser::WindowBatchUser(CMyPropertySheet& sheet, CMyPropertyPage2& page)
    : sheet_(sheet), page_(page) {}

template <typename Call>
void WindowBatchUser::onWindowThread(Call&& call) {
    if (QThread::currentThread() == page_.thread()) {
        call();
    } else {
        QMetaObject::invokeMethod(&page_, std::forward<Call>(call), Qt::BlockingQueuedConnection);
    }
}

void WindowBatchUser::appendResultLine(std::string_view line) {
    onWindowThread([&] { page_.appendResultLine(line); });
}

void WindowBatchUser::startProgress(int stepsPerFile, int batchSteps) {
    onWindowThread([&] { page_.startProgress(stepsPerFile, batchSteps); });
}

void WindowBatchUser::startFile(std::string_view) {
    onWindowThread([&] { page_.startFile(); });
}

void WindowBatchUser::stepProgress() {
    onWindowThread([&] { page_.stepProgress(); });
}

void WindowBatchUser::skipFileStep() {
    onWindowThread([&] { page_.skipFileStep(); });
}

void WindowBatchUser::setFileProgress(int position) {
    onWindowThread([&] { page_.setFileProgress(position); });
}

void WindowBatchUser::setBatchProgress(int position) {
    onWindowThread([&] { page_.setBatchProgress(position); });
}

bool WindowBatchUser::cancelRequested() {
    return sheet_.cancelRequested();
}

OverwriteAnswer WindowBatchUser::askOverwrite(std::string_view question) {
    Dialogs::Answer answer = Dialogs::Answer::Cancel;
    onWindowThread([&] {
        answer = sheet_.dialogs().message(&page_, fromLine(question), Dialogs::Icon::Question,
                                          Dialogs::Buttons::YesNoCancel);
    });
    switch (answer) {
        case Dialogs::Answer::Yes:
            return OverwriteAnswer::Yes;
        case Dialogs::Answer::No:
            return OverwriteAnswer::No;
        case Dialogs::Answer::Cancel:
            return OverwriteAnswer::Cancel;
        case Dialogs::Answer::Ok:
            break;
    }
    return OverwriteAnswer::Other;
}

void WindowBatchUser::showSummary(std::string_view text) {
    onWindowThread([&] {
        sheet_.dialogs().message(&page_, fromLine(text), Dialogs::Icon::Information,
                                 Dialogs::Buttons::Ok);
    });
}

void WindowBatchUser::showStop(std::string_view text) {
    onWindowThread([&] {
        sheet_.dialogs().message(&page_, fromLine(text), Dialogs::Icon::Stop, Dialogs::Buttons::Ok);
    });
}

}  // namespace brevo::app
