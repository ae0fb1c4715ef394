#pragma once

#include "app/pages/sheet_page.h"

class QButtonGroup;
class QComboBox;
class QRadioButton;

namespace brevo::app {

class CMyPropertySheet;

// The Settings page: whether reports are replaced without asking, how BRX files are stored,
// and the language of the translations.
class CMyPropertyPage5V : public SheetPage {
    Q_OBJECT

public:
    explicit CMyPropertyPage5V(CMyPropertySheet& sheet);

    QString title() const override;
    void activate() override;
    bool mayLeave() override;
    bool mayClose() override;

    void loadData();
    void saveData();

    QRadioButton& alwaysPrompt() { return *alwaysPrompt_; }
    QRadioButton& alwaysOverwrite() { return *alwaysOverwrite_; }
    QRadioButton& ansiText() { return *ansiText_; }
    QRadioButton& rtf() { return *rtf_; }
    QComboBox& languages() { return *languages_; }

private:
    CMyPropertySheet& sheet_;
    QRadioButton* alwaysPrompt_;
    QRadioButton* alwaysOverwrite_;
    QRadioButton* ansiText_;
    QRadioButton* rtf_;
    QComboBox* languages_;
};

}  // namespace brevo::app
