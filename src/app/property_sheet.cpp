#include "app/property_sheet.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/controls/dialog_units.h"
#include "app/controls/on_screen.h"
#include "app/dialogs/dialogs.h"
#include "app/pages/about_page.h"
#include "app/pages/paths_page.h"
#include "app/pages/settings_page.h"
#include "app/pages/verify_page.h"

namespace brevo::app {
namespace {

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/brevo-verifier-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

// The help page is named after the program and installed beside it, or under share/ when the
// program is installed.
QString helpPagePath() {
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() +
                         QStringLiteral(".html");
    const QDir programDir(QCoreApplication::applicationDirPath());
    for (const QString& candidate :
         {programDir.filePath(name),
          programDir.filePath(QStringLiteral("../share/") + QStringLiteral("brevo-verifier/") +
                              name)}) {
        if (QFileInfo(candidate).isFile()) return QDir::cleanPath(candidate);
    }
    return programDir.filePath(name);
}

QPushButton* sheetButton(const char* label, const DialogUnits& units, QWidget* parent) {
    auto* button = new QPushButton(QString::fromLatin1(label), parent);
    // Enter never closes the sheet or asks for help.
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setMinimumSize(units.size(50, 14));
    return button;
}

}  // namespace

CMyPropertySheet::CMyPropertySheet(Dialogs& dialogs, VerifySettings settings,
                                   std::string homeDirectory, QWidget* parent)
    : QDialog(parent),
      dialogs_(dialogs),
      settings_(std::move(settings)),
      homeDirectory_(std::move(homeDirectory)) {
    setWindowTitle(QString::fromLatin1(text::kCaption));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    const DialogUnits units(font());
    tabs_ = new QTabBar(this);
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
    stack_ = new QStackedWidget(this);
    stack_->setFrameShape(QFrame::StyledPanel);

    verifyPage_ = new CMyPropertyPage2(*this);
    pathsPage_ = new CMyPropertyPage4V(*this);
    settingsPage_ = new CMyPropertyPage5V(*this);
    aboutPage_ = new CMyPropertyPage6(*this);
    for (SheetPage* page :
         std::initializer_list<SheetPage*>{verifyPage_, pathsPage_, settingsPage_, aboutPage_}) {
        addPage(page);
    }

    exitButton_ = sheetButton(text::kExit, units, this);
    helpButton_ = sheetButton(text::kHelp, units, this);
    connect(exitButton_, &QPushButton::clicked, this, &CMyPropertySheet::reject);
    connect(helpButton_, &QPushButton::clicked, this, &CMyPropertySheet::showHelp);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(exitButton_);
    buttons->addStretch();
    buttons->addWidget(helpButton_);
    // The pages scroll when the screen is smaller than they are; the tabs and the buttons
    // below stay in view.
    scroll_ = new QScrollArea(this);
    scroll_->setWidget(stack_);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->addWidget(tabs_);
    layout->addWidget(scroll_, 1);
    layout->addSpacing(units.size(0, 7).height());
    layout->addLayout(buttons);
    scroll_->setMinimumSize(stack_->minimumSizeHint());
    neededSize_ = layout->minimumSize();
    scroll_->setMinimumSize(0, 0);
    // The Verify page may give up height of its results before anything has to scroll.
    pageMinimum_.front() = QSize(0, 0);
    showPageSize(0);
    setMinimumSize(neededSize_);
    resize(neededSize_);
    setSizeGripEnabled(true);

    connect(tabs_, &QTabBar::currentChanged, this, &CMyPropertySheet::changePage);
    tabs_->setCurrentIndex(0);
    pages_.front()->activate();
}

CMyPropertySheet::~CMyPropertySheet() = default;

void CMyPropertySheet::addPage(SheetPage* page) {
    const DialogUnits units(font());
    page->setMinimumSize(units.size(348, 236));
    pageMinimum_.push_back(page->minimumSize());
    pages_.push_back(page);
    tabs_->addTab(page->title());
    stack_->addWidget(page);
}

// A tab is chosen: the page in front may keep its place.
void CMyPropertySheet::changePage(int index) {
    if (index == currentPage_ || index < 0) return;
    if (!pages_[static_cast<std::size_t>(currentPage_)]->mayLeave()) {
        const QSignalBlocker quiet(tabs_);
        tabs_->setCurrentIndex(currentPage_);
        return;
    }
    currentPage_ = index;
    showPageSize(index);
    stack_->setCurrentIndex(index);
    pages_[static_cast<std::size_t>(index)]->activate();
}

// Only the page in front asks for room: the others would make it scroll on a small screen.
void CMyPropertySheet::showPageSize(int index) {
    for (std::size_t at = 0; at < pages_.size(); ++at) {
        const bool shown = at == static_cast<std::size_t>(index);
        pages_[at]->setMinimumSize(shown ? pageMinimum_[at] : QSize(0, 0));
        pages_[at]->setSizePolicy(shown ? QSizePolicy::Preferred : QSizePolicy::Ignored,
                                  shown ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    }
}

bool CMyPropertySheet::mayClose() {
    return pages_[static_cast<std::size_t>(currentPage_)]->mayClose();
}

void CMyPropertySheet::reject() {
    if (mayClose()) QDialog::reject();
}

void CMyPropertySheet::closeEvent(QCloseEvent* event) {
    if (mayClose()) {
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}

void CMyPropertySheet::keyPressEvent(QKeyEvent* event) {
    // Enter belongs to the focused control, never to the sheet.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

WindowLayout CMyPropertySheet::windowLayout() const {
    WindowLayout layout;
    layout.sheet = {width(), height()};
    verifyPage_->saveLayout(layout);
    return layout;
}

void CMyPropertySheet::restoreLayout(const WindowLayout& layout) {
    verifyPage_->restoreLayout(layout);
    const Size room = screenRoom();
    const Size needed{neededSize_.width(), neededSize_.height()};
    // At first, room for the findings below the results.
    const Size natural{needed.width * 4 / 3, needed.height * 3 / 2};
    const Size size = openingSize(layout.sheet, natural, smallestSize(needed, room), room);
    resize(size.width, size.height);
}

// The room on the screen for the window without its frame.
Size CMyPropertySheet::screenRoom() const {
    const QScreen* shown = screen();
    if (shown == nullptr) return {};
    const QSize frame = isVisible() ? frameGeometry().size() - size() : QSize();
    const QSize room = shown->availableGeometry().size() - frame;
    return {room.width(), room.height()};
}

void CMyPropertySheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Once the window manager has put its frame around the window, which some take a while
    // to do.
    if (!fitted_) {
        QTimer::singleShot(0, this, &CMyPropertySheet::fitToScreen);
        QTimer::singleShot(400, this, &CMyPropertySheet::fitToScreen);
    }
    fitted_ = true;
}

void CMyPropertySheet::fitToScreen() {
    const Size room = screenRoom();
    const Size smallest = smallestSize({neededSize_.width(), neededSize_.height()}, room);
    setMinimumSize(smallest.width, smallest.height);
    const Size size = openingSize({width(), height()}, {}, smallest, room);
    if (size.width != width() || size.height != height()) resize(size.width, size.height);
    // The whole frame on the screen, the title bar above all.
    keepOnScreen(*this);
}

void CMyPropertySheet::showHelp() {
    const QString path = helpPagePath();
    if (!dialogs_.openDocument(path)) {
        // Where it was looked for, so that a missing or unreadable file can be found.
        dialogs_.message(this,
                         QString::fromLatin1(text::kFailedToLaunchHelp) + QLatin1Char('\n') +
                             QDir::toNativeSeparators(path),
                         Dialogs::Icon::Stop, Dialogs::Buttons::Ok);
    }
}

}  // namespace brevo::app
