#pragma once

#include <QWidget>
#include <string>

#include "brx/file_format.h"

namespace brevo::app {

class ElidedLabel;
class LineTextView;

// A report read inside the app when the system has no program for it: its lines decoded from
// the code page of the pair, read-only, with line numbers.
class ReportWindow : public QWidget {
    Q_OBJECT

public:
    explicit ReportWindow(QWidget* parent = nullptr);

    // A text report is read as it is; an RTF one as the lines its text decodes to.
    void showReport(const std::string& path, FileFormat format, int codePage);
    LineTextView& text() { return *text_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ElidedLabel* path_;
    LineTextView* text_;
};

}  // namespace brevo::app
