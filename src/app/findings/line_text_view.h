#pragma once

#include <QPlainTextEdit>
#include <string>
#include <vector>

#include "app/model/file_text.h"

class QSyntaxHighlighter;

namespace brevo::app {

// A file's lines, read-only, with their numbers in a gutter, tags set apart from the text by
// colour and weight, and one stretch of lines (a segment) marked.
class LineTextView : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit LineTextView(QWidget* parent = nullptr);

    void showLines(const std::vector<std::string>& lines);
    // Lines from 1; the view scrolls so that the first is in the middle. {0, 0} marks none.
    void markLines(LineRange lines);
    LineRange markedLines() const { return marked_; }

    int lineCount() const;
    QString lineText(int line) const;
    // The line in the middle of the view, from 1, and whether a line can be seen whole.
    int centreLine() const;
    bool lineVisible(int line) const;
    int gutterWidth() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class LineGutter;
    void paintGutter(QPaintEvent* event);
    void fitGutter();
    void followScroll(const QRect& rect, int dy);

    QWidget* gutter_;
    QSyntaxHighlighter* highlighter_;
    LineRange marked_;
};

}  // namespace brevo::app
