#include "app/findings/findings_panel.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/controls/elided_label.h"
#include "app/controls/on_screen.h"
#include "app/findings/findings_table_model.h"
#include "app/findings/side_by_side_view.h"
#include "app/platform/qt_text.h"

namespace brevo::app {
namespace {

QString texts(const char* text) {
    return QString::fromUtf8(text);
}

QCheckBox* severityBox(QWidget* parent) {
    auto* box = new QCheckBox(parent);
    box->setChecked(true);
    return box;
}

}  // namespace

FindingsPanel::FindingsPanel(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs) {
    model_ = new FindingsTableModel(pairs_, this);
    filtered_ = new FindingsFilterModel(*model_, this);

    auto* findingsLabel = new QLabel(texts(text::kFindings), this);
    fileLabel_ = new ElidedLabel(this);
    fileLabel_->setFullText(texts(text::kNoFileChosen));
    errorsBox_ = severityBox(this);
    alertsBox_ = severityBox(this);
    warningsBox_ = severityBox(this);
    auto* filterLabel = new QLabel(texts(text::kFilterLabel), this);
    filterEdit_ = new QLineEdit(this);
    filterEdit_->setPlaceholderText(texts(text::kFilterHint));
    filterEdit_->setClearButtonEnabled(true);
    filterLabel->setBuddy(filterEdit_);

    table_ = new QTableView(this);
    table_->setModel(filtered_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(FindingsTableModel::NumberColumn, Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setTabKeyNavigation(false);
    table_->setWordWrap(false);
    table_->setTextElideMode(Qt::ElideRight);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(FindingsTableModel::MessageColumn, QHeaderView::Stretch);
    for (int column : {int(FindingsTableModel::NumberColumn), int(FindingsTableModel::SourceColumn),
                       int(FindingsTableModel::TargetColumn)}) {
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    header->resizeSection(FindingsTableModel::SeverityColumn,
                          table_->fontMetrics().horizontalAdvance(QStringLiteral("WARNING")) + 40);
    // A few rows at the least; the rest of the height goes where the window has room.
    table_->setMinimumHeight(table_->verticalHeader()->defaultSectionSize() * 3);
    table_->setAccessibleName(texts(text::kFindings).remove(QLatin1Char('&')));
    findingsLabel->setBuddy(table_);

    sideBySide_ = new SideBySideView(dialogs_, this);
    sideBySide_->setWindowFlag(Qt::Window);
    sideBySide_->resize(900, 560);
    addShortcuts(*this);
    addShortcuts(*sideBySide_);
    connect(sideBySide_, &SideBySideView::nextRequested, this, &FindingsPanel::nextFinding);
    connect(sideBySide_, &SideBySideView::previousRequested, this, &FindingsPanel::previousFinding);

    connect(table_, &QTableView::activated, this, [this] { openCurrentRow(); });
    for (QCheckBox* box : {errorsBox_, alertsBox_, warningsBox_}) {
        connect(box, &QCheckBox::toggled, this, &FindingsPanel::applyFilter);
    }
    connect(filterEdit_, &QLineEdit::textChanged, this, &FindingsPanel::applyFilter);

    // Narrow enough for 200% on a small screen: the file and the text filter share a row,
    // the severities have one of their own.
    auto* top = new QHBoxLayout;
    top->addWidget(findingsLabel);
    top->addWidget(fileLabel_, 2);
    top->addSpacing(8);
    top->addWidget(filterLabel);
    top->addWidget(filterEdit_, 1);
    filterEdit_->setMinimumWidth(fontMetrics().averageCharWidth() * 8);
    auto* filters = new QHBoxLayout;
    filters->addWidget(errorsBox_);
    filters->addWidget(alertsBox_);
    filters->addWidget(warningsBox_);
    filters->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addLayout(filters);
    layout->addWidget(table_, 1);
    setTabOrder(table_, errorsBox_);
    setTabOrder(errorsBox_, alertsBox_);
    setTabOrder(alertsBox_, warningsBox_);
    setTabOrder(warningsBox_, filterEdit_);
    showCounts();
}

FindingsPanel::~FindingsPanel() = default;

void FindingsPanel::addShortcuts(QWidget& window) {
    auto* next = new QAction(&window);
    next->setShortcut(Qt::Key_F8);
    next->setShortcutContext(Qt::WindowShortcut);
    connect(next, &QAction::triggered, this, &FindingsPanel::nextFinding);
    auto* previous = new QAction(&window);
    previous->setShortcut(Qt::SHIFT | Qt::Key_F8);
    previous->setShortcutContext(Qt::WindowShortcut);
    connect(previous, &QAction::triggered, this, &FindingsPanel::previousFinding);
    window.addAction(next);
    window.addAction(previous);
}

std::size_t FindingsPanel::addPair(const PairRecord& record, FileFormat format) {
    pairs_.push_back(pairFindings(record, format));
    records_.push_back(&record);
    return pairs_.size() - 1;
}

void FindingsPanel::clear() {
    opened_.reset();
    showPair(std::nullopt);
    pairs_.clear();
    records_.clear();
    sideBySide_->forgetFiles();
    sideBySide_->close();
}

void FindingsPanel::showPair(std::optional<std::size_t> pair) {
    if (pair && *pair >= pairs_.size()) pair.reset();
    if (pair == model_->pair()) return;
    model_->showPair(pair);
    fileLabel_->setFullText(pair ? QDir::toNativeSeparators(fromPath(pairs_[*pair].targetPath))
                                 : texts(text::kNoFileChosen));
    showCounts();
    emit pairShown(pair);
}

std::optional<std::size_t> FindingsPanel::shownPair() const {
    return model_->pair();
}

std::optional<std::size_t> FindingsPanel::pairOf(const PairRecord* record) const {
    for (std::size_t at = records_.size(); at-- > 0;) {
        if (records_[at] == record) return at;
    }
    return std::nullopt;
}

void FindingsPanel::showCounts() {
    FindingCounts counts;
    if (const auto pair = model_->pair()) {
        for (const FindingRow& row : pairs_[*pair].rows) {
            ++(row.severity == Severity::Error   ? counts.errors
               : row.severity == Severity::Alert ? counts.alerts
                                                 : counts.warnings);
        }
    }
    errorsBox_->setText(texts(text::kErrorsBox).arg(counts.errors));
    alertsBox_->setText(texts(text::kAlertsBox).arg(counts.alerts));
    warningsBox_->setText(texts(text::kWarningsBox).arg(counts.warnings));
}

void FindingsPanel::applyFilter() {
    FindingFilter filter;
    filter.errors = errorsBox_->isChecked();
    filter.alerts = alertsBox_->isChecked();
    filter.warnings = warningsBox_->isChecked();
    filter.text = filterEdit_->text().toStdString();
    filtered_->setFilter(std::move(filter));
}

std::optional<FindingPlace> FindingsPanel::currentPlace() const {
    const auto pair = model_->pair();
    const QModelIndex current = table_->currentIndex();
    if (!pair || !current.isValid()) return std::nullopt;
    const QModelIndex row = filtered_->mapToSource(current);
    return FindingPlace{*pair, static_cast<std::size_t>(row.row())};
}

void FindingsPanel::openCurrentRow() {
    if (const auto place = currentPlace()) openFinding(*place);
}

void FindingsPanel::openFinding(FindingPlace place) {
    if (place.pair >= pairs_.size() || place.row >= pairs_[place.pair].rows.size()) return;
    showPair(place.pair);
    const QModelIndex row = filtered_->mapFromSource(model_->index(static_cast<int>(place.row), 0));
    if (row.isValid()) {
        table_->setCurrentIndex(row);
        table_->scrollTo(row);
    }
    opened_ = place;
    const PairFindings& pair = pairs_[place.pair];
    sideBySide_->setWindowTitle(
        texts(text::kFindingsTitle).arg(QDir::toNativeSeparators(fromPath(pair.targetPath))));
    // Shown first, so that the texts are scrolled in the size they will have.
    const bool first = !sideBySide_->isVisible();
    sideBySide_->show();
    if (first) keepOnScreenOnceFramed(*sideBySide_);
    sideBySide_->raise();
    sideBySide_->activateWindow();
    sideBySide_->showFinding(pair, place.pair, pair.rows[place.row],
                             static_cast<int>(place.row) + 1, static_cast<int>(pair.rows.size()));
}

void FindingsPanel::nextFinding() {
    step(Direction::Next);
}

void FindingsPanel::previousFinding() {
    step(Direction::Previous);
}

void FindingsPanel::step(Direction direction) {
    const FindingFilter& filter = filtered_->filter();
    // From the finding in the table when there is one; in a file just chosen, from its first
    // (or last) finding; else from the one last opened.
    std::optional<FindingPlace> from = currentPlace();
    const auto shown = model_->pair();
    if (!from && shown && !pairs_[*shown].rows.empty()) {
        const std::vector<FindingRow>& rows = pairs_[*shown].rows;
        const FindingPlace edge{*shown, direction == Direction::Next ? 0 : rows.size() - 1};
        if (filter.accepts(rows[edge.row])) {
            openFinding(edge);
            return;
        }
        from = edge;
    }
    if (!from) from = opened_;
    if (const auto place = stepFinding(pairs_, from, direction, filter)) openFinding(*place);
}

}  // namespace brevo::app
