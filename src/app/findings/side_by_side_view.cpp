#include "app/findings/side_by_side_view.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/controls/elided_label.h"
#include "app/dialogs/dialogs.h"
#include "app/findings/line_text_view.h"
#include "app/findings/severity_look.h"
#include "app/platform/qt_text.h"

namespace brevo::app {
namespace {

QString texts(const char* text) {
    return QString::fromUtf8(text);
}

}  // namespace

SideBySideView::SideBySideView(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs) {
    icon_ = new QLabel(this);
    message_ = new QLabel(this);
    message_->setWordWrap(true);
    message_->setTextFormat(Qt::PlainText);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    position_ = new QLabel(this);
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    previous_ = new QPushButton(texts(text::kPreviousFinding), this);
    next_ = new QPushButton(texts(text::kNextFinding), this);
    previous_->setToolTip(QStringLiteral("Shift+F8"));
    next_->setToolTip(QStringLiteral("F8"));
    connect(previous_, &QPushButton::clicked, this, &SideBySideView::previousRequested);
    connect(next_, &QPushButton::clicked, this, &SideBySideView::nextRequested);

    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(paneWidget(source_, text::kSourceSide, text::kOpenSource));
    splitter_->addWidget(paneWidget(target_, text::kTargetSide, text::kOpenTarget));
    connect(source_.open, &QPushButton::clicked, this, [this] { openInEditor(Side::Source); });
    connect(target_.open, &QPushButton::clicked, this, [this] { openInEditor(Side::Target); });

    auto* top = new QHBoxLayout;
    top->addWidget(icon_, 0, Qt::AlignTop);
    top->addWidget(message_, 1);
    auto* navigation = new QHBoxLayout;
    navigation->addWidget(position_, 1);
    navigation->addWidget(previous_);
    navigation->addWidget(next_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(navigation);
    layout->addWidget(splitter_, 1);
    layout->addWidget(status_);
}

QWidget* SideBySideView::paneWidget(Pane& pane, const char* heading, const char* openLabel) {
    auto* widget = new QWidget(this);
    auto* title = new QLabel(texts(heading), widget);
    pane.path = new ElidedLabel(widget);
    pane.text = new LineTextView(widget);
    pane.text->setAccessibleName(texts(heading));
    title->setBuddy(pane.text);
    pane.note = new QLabel(widget);
    pane.note->setWordWrap(true);
    pane.open = new QPushButton(texts(openLabel), widget);
    pane.open->setAutoDefault(false);
    auto* header = new QHBoxLayout;
    header->addWidget(title);
    header->addWidget(pane.path, 1);
    auto* footer = new QHBoxLayout;
    footer->addWidget(pane.note, 1);
    footer->addWidget(pane.open);
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(header);
    layout->addWidget(pane.text, 1);
    layout->addLayout(footer);
    return widget;
}

void SideBySideView::forgetFiles() {
    pairIndex_.reset();
}

void SideBySideView::showFinding(const PairFindings& pair, std::size_t pairIndex,
                                 const FindingRow& row, int position, int total) {
    const bool reread = pairIndex_ != pairIndex;
    pairIndex_ = pairIndex;
    const int size = style()->pixelMetric(QStyle::PM_SmallIconSize);
    icon_->setPixmap(severityIcon(row.severity).pixmap(size, size));
    icon_->setAccessibleName(severityText(row.severity));
    message_->setText(QString::fromStdString(row.message));
    position_->setText(texts(text::kFindingOf).arg(position).arg(total));
    status_->clear();
    showSide(source_, pair.sourcePath, pair, pair.sourceCodePage, row.source, reread);
    showSide(target_, pair.targetPath, pair, pair.targetCodePage, row.target, reread);
}

void SideBySideView::showSide(Pane& pane, const std::string& path, const PairFindings& pair,
                              int codePage, const std::optional<FindingSpot>& spot, bool reread) {
    if (reread || pane.shownPath != path) {
        // Files are read again only when the pair changes.
        pane.file = readFileText(path, pair.format, codePage);
        pane.shownPath = path;
        pane.text->showLines(pane.file.lines);
        pane.path->setFullText(QDir::toNativeSeparators(fromPath(path)));
    }
    pane.line = spot ? spot->line : 0;
    if (!pane.file.failure.empty()) {
        pane.note->setText(texts(text::kCannotShow).arg(QString::fromStdString(pane.file.failure)));
    } else {
        pane.note->setText(spot ? QString() : texts(text::kNoLineHere));
    }
    pane.text->markLines(spot ? segmentRange(pane.file, spot->segment, spot->line) : LineRange{});
}

void SideBySideView::openInEditor(Side side) {
    const Pane& pane = side == Side::Source ? source_ : target_;
    if (pane.shownPath.empty()) return;
    const QString path = QDir::toNativeSeparators(fromPath(pane.shownPath));
    const QString line = pane.line != 0 ? QString::number(pane.line) : QStringLiteral("-");
    if (dialogs_.openDocument(fromPath(pane.shownPath))) {
        status_->setText(texts(text::kEditorOpened).arg(path, line));
    } else {
        dialogs_.message(this, texts(text::kNoProgram).arg(path, line), Dialogs::Icon::Information,
                         Dialogs::Buttons::Ok);
    }
}

void SideBySideView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && isWindow()) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

QString SideBySideView::messageText() const {
    return message_->text();
}

QString SideBySideView::statusText() const {
    return status_->text();
}

}  // namespace brevo::app
