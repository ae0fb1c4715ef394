#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "app/model/verify_settings.h"
#include "app/model/window_layout.h"

class QPushButton;
class QScrollArea;
class QStackedWidget;
class QTabBar;

namespace brevo::app {

class Dialogs;
class SheetPage;
class CMyPropertyPage2;
class CMyPropertyPage4V;
class CMyPropertyPage5V;
class CMyPropertyPage6;

// The main window: a tabbed sheet with the pages Verify, Paths, Settings and About. It holds
// what the pages share: the settings, the state of a running batch, and the dialogs.
class CMyPropertySheet : public QDialog {
    Q_OBJECT

public:
    CMyPropertySheet(Dialogs& dialogs, VerifySettings settings, std::string homeDirectory,
                     QWidget* parent = nullptr);
    ~CMyPropertySheet() override;

    Dialogs& dialogs() { return dialogs_; }
    VerifySettings& settings() { return settings_; }
    const std::string& homeDirectory() const { return homeDirectory_; }

    bool batchRunning() const { return batchRunning_; }
    void setBatchRunning(bool running) { batchRunning_ = running; }

    CMyPropertyPage2& verifyPage() { return *verifyPage_; }
    CMyPropertyPage4V& pathsPage() { return *pathsPage_; }
    CMyPropertyPage5V& settingsPage() { return *settingsPage_; }
    CMyPropertyPage6& aboutPage() { return *aboutPage_; }
    QTabBar& tabs() { return *tabs_; }
    QPushButton& exitButton() { return *exitButton_; }
    QPushButton& helpButton() { return *helpButton_; }

    // The size the sheet has always had: the window is never smaller, unless the screen is,
    // when the pages scroll instead.
    QSize neededSize() const { return neededSize_; }
    // How the user left the windows, and the same again at the next start.
    WindowLayout windowLayout() const;
    void restoreLayout(const WindowLayout& layout);

    // "&Exit", Escape and the window's close box: the active page may refuse.
    void reject() override;
    void showHelp();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void addPage(SheetPage* page);
    void changePage(int index);
    void showPageSize(int index);
    bool mayClose();
    Size screenRoom() const;
    void fitToScreen();

    Dialogs& dialogs_;
    VerifySettings settings_;
    std::string homeDirectory_;
    bool batchRunning_ = false;

    QTabBar* tabs_;
    QStackedWidget* stack_;
    QScrollArea* scroll_;
    QSize neededSize_;
    bool fitted_ = false;
    std::vector<SheetPage*> pages_;
    std::vector<QSize> pageMinimum_;
    int currentPage_ = 0;
    CMyPropertyPage2* verifyPage_;
    CMyPropertyPage4V* pathsPage_;
    CMyPropertyPage5V* settingsPage_;
    CMyPropertyPage6* aboutPage_;
    QPushButton* exitButton_;
    QPushButton* helpButton_;
};

}  // namespace brevo::app
