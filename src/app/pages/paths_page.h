#pragma once

#include "app/pages/sheet_page.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace brevo::app {

class CMyPropertySheet;

// The Paths page: where the source and the translated BRX files are, and whether those
// directories are kept during a session and between sessions.
class CMyPropertyPage4V : public SheetPage {
    Q_OBJECT

public:
    explicit CMyPropertyPage4V(CMyPropertySheet& sheet);

    QString title() const override;
    void activate() override;
    bool mayLeave() override;
    bool mayClose() override;

    // Puts the settings into the controls, and takes them back; taking them fails for a
    // directory name that is too long.
    void loadData();
    bool saveData();

    void duringSessionClicked();
    void browseSource();
    void browseTranslated();

    QLineEdit& sourceEdit() { return *sourceEdit_; }
    QLineEdit& translatedEdit() { return *translatedEdit_; }
    QCheckBox& duringSession() { return *duringSession_; }
    QCheckBox& betweenSessions() { return *betweenSessions_; }
    QPushButton& browseSourceButton() { return *browseSource_; }
    QPushButton& browseTranslatedButton() { return *browseTranslated_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void editLeft(std::string& path);
    void browse(std::string& path, const char* title);
    bool checkBothPaths();
    void enableForSession();

    CMyPropertySheet& sheet_;
    QLineEdit* sourceEdit_;
    QLineEdit* translatedEdit_;
    QPushButton* browseSource_;
    QPushButton* browseTranslated_;
    QCheckBox* duringSession_;
    QCheckBox* betweenSessions_;
};

}  // namespace brevo::app
