#include "app/findings/line_text_view.h"

#include <QPainter>
#include <QSyntaxHighlighter>
#include <QTextBlock>

namespace brevo::app {
namespace {

constexpr int kGutterPadding = 4;

// Marks the tags of each line; a tag left open at a line's end is carried into the next line
// through the block state (depth twice, plus one when the open tag is internal).
class TagHighlighter : public QSyntaxHighlighter {
public:
    explicit TagHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
        external_.setForeground(QColor(0x1a, 0x4f, 0x8b));
        external_.setFontWeight(QFont::Bold);
        internal_.setForeground(QColor(0x8b, 0x1a, 0x6b));
        internal_.setFontWeight(QFont::Bold);
    }

protected:
    void highlightBlock(const QString& text) override {
        const int previous = previousBlockState();
        TagScan scan;
        if (previous > 0) scan = {previous / 2, previous % 2 == 1};
        const std::u16string_view line(reinterpret_cast<const char16_t*>(text.utf16()),
                                       static_cast<std::size_t>(text.size()));
        for (const TagSpan& span : tagSpans(line, scan)) {
            setFormat(static_cast<int>(span.start), static_cast<int>(span.length),
                      span.internal ? internal_ : external_);
        }
        setCurrentBlockState(scan.depth * 2 + (scan.internal ? 1 : 0));
    }

private:
    QTextCharFormat external_;
    QTextCharFormat internal_;
};

}  // namespace

class LineGutter : public QWidget {
public:
    explicit LineGutter(LineTextView& view) : QWidget(&view), view_(view) {}
    QSize sizeHint() const override { return {view_.gutterWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { view_.paintGutter(event); }

private:
    LineTextView& view_;
};

LineTextView::LineTextView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    gutter_ = new LineGutter(*this);
    highlighter_ = new TagHighlighter(document());
    connect(this, &QPlainTextEdit::blockCountChanged, this, &LineTextView::fitGutter);
    connect(this, &QPlainTextEdit::updateRequest, this, &LineTextView::followScroll);
    fitGutter();
}

void LineTextView::showLines(const std::vector<std::string>& lines) {
    QString text;
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 1;
    text.reserve(static_cast<qsizetype>(size));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i != 0) text += QLatin1Char('\n');
        text += QString::fromStdString(lines[i]);
    }
    marked_ = {};
    setExtraSelections({});
    setPlainText(text);
}

void LineTextView::markLines(LineRange lines) {
    marked_ = lines;
    QList<QTextEdit::ExtraSelection> marks;
    if (lines.first != 0) {
        const QTextBlock first = document()->findBlockByNumber(static_cast<int>(lines.first) - 1);
        const QTextBlock last = document()->findBlockByNumber(static_cast<int>(lines.last) - 1);
        if (first.isValid()) {
            QTextEdit::ExtraSelection mark;
            mark.format.setBackground(QColor(0xff, 0xf0, 0xa8));
            mark.format.setProperty(QTextFormat::FullWidthSelection, true);
            for (QTextBlock block = first; block.isValid(); block = block.next()) {
                mark.cursor = QTextCursor(block);
                marks.push_back(mark);
                if (block == last) break;
            }
            QTextCursor at(first);
            setTextCursor(at);
            centerCursor();
        }
    }
    setExtraSelections(marks);
    gutter_->update();
}

int LineTextView::lineCount() const {
    return document()->isEmpty() ? 0 : document()->blockCount();
}

QString LineTextView::lineText(int line) const {
    return document()->findBlockByNumber(line - 1).text();
}

int LineTextView::centreLine() const {
    const QTextCursor middle = cursorForPosition(QPoint(0, viewport()->height() / 2));
    return middle.blockNumber() + 1;
}

bool LineTextView::lineVisible(int line) const {
    const QTextBlock block = document()->findBlockByNumber(line - 1);
    if (!block.isValid()) return false;
    const QRectF area = blockBoundingGeometry(block).translated(contentOffset());
    return area.top() >= 0 && area.bottom() <= viewport()->height();
}

int LineTextView::gutterWidth() const {
    int digits = 1;
    for (int count = std::max(1, document()->blockCount()); count >= 10; count /= 10) ++digits;
    // Room for a marker in front of the marked segment's lines.
    return 2 * kGutterPadding + fontMetrics().horizontalAdvance(QLatin1Char('9')) * (digits + 1);
}

void LineTextView::fitGutter() {
    setViewportMargins(gutterWidth(), 0, 0, 0);
}

void LineTextView::followScroll(const QRect& rect, int dy) {
    if (dy != 0) {
        gutter_->scroll(0, dy);
    } else {
        gutter_->update(0, rect.y(), gutter_->width(), rect.height());
    }
}

void LineTextView::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    gutter_->setGeometry(QRect(area.left(), area.top(), gutterWidth(), area.height()));
}

void LineTextView::paintGutter(QPaintEvent* event) {
    QPainter painter(gutter_);
    painter.fillRect(event->rect(), palette().color(QPalette::AlternateBase));
    const int width = gutter_->width() - kGutterPadding;
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    const int lineHeight = fontMetrics().height();
    QFont bold = font();
    bold.setBold(true);
    while (block.isValid() && top <= event->rect().bottom()) {
        const int bottom = top + qRound(blockBoundingRect(block).height());
        const auto line = static_cast<std::uint32_t>(block.blockNumber() + 1);
        const bool marked = marked_.first != 0 && line >= marked_.first && line <= marked_.last;
        if (block.isVisible() && bottom >= event->rect().top()) {
            // The marked lines read without colour too: bold numbers and a marker.
            painter.setFont(marked ? bold : font());
            painter.setPen(marked ? palette().color(QPalette::Text)
                                  : palette().color(QPalette::PlaceholderText));
            painter.drawText(0, top, width, lineHeight, Qt::AlignRight, QString::number(line));
            if (line == marked_.first) {
                painter.drawText(kGutterPadding, top, width, lineHeight, Qt::AlignLeft,
                                 QStringLiteral("\u25B6"));
            }
        }
        block = block.next();
        top = bottom;
    }
}

}  // namespace brevo::app
