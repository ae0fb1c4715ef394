#include "app/findings/report_window.h"

#include <QKeyEvent>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/controls/elided_label.h"
#include "app/controls/on_screen.h"
#include "app/findings/line_text_view.h"
#include "app/model/file_text.h"
#include "app/platform/qt_text.h"

namespace brevo::app {

ReportWindow::ReportWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    path_ = new ElidedLabel(this);
    text_ = new LineTextView(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(path_);
    layout->addWidget(text_, 1);
    resize(860, 600);
}

void ReportWindow::showReport(const std::string& path, FileFormat format, int codePage) {
    const QString name = QDir::toNativeSeparators(fromPath(path));
    setWindowTitle(QString::fromUtf8(text::kReportTitle).arg(name));
    text_->setAccessibleName(name);
    FileText file = readFileText(path, format, codePage);
    if (!file.failure.empty()) {
        file.lines.insert(file.lines.begin(), QString::fromUtf8(text::kCannotShow)
                                                  .arg(QString::fromStdString(file.failure))
                                                  .toStdString());
    }
    path_->setFullText(name);
    text_->showLines(file.lines);
    show();
    keepOnScreenOnceFramed(*this);
    raise();
    activateWindow();
}

void ReportWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace brevo::app
