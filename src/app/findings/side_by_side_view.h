#pragma once

#include <QWidget>
#include <optional>
#include <string>

#include "app/model/file_text.h"
#include "app/model/finding_rows.h"

class QLabel;
class QPushButton;
class QSplitter;

namespace brevo::app {

class Dialogs;
class ElidedLabel;
class LineTextView;

// One finding beside the two texts: the source and the translation side by side, each
// scrolled to the segment the finding names with the segment marked. Read-only; each file can
// be handed to the system's editor.
class SideBySideView : public QWidget {
    Q_OBJECT

public:
    explicit SideBySideView(Dialogs& dialogs, QWidget* parent = nullptr);

    // `position` counts from 1 among the `total` findings of the pair; the files are read
    // again when `pairIndex` changes.
    void showFinding(const PairFindings& pair, std::size_t pairIndex, const FindingRow& row,
                     int position, int total);
    // The pairs are gone: the next finding reads its files afresh.
    void forgetFiles();

    LineTextView& sourceText() { return *source_.text; }
    LineTextView& targetText() { return *target_.text; }
    QPushButton& openSourceButton() { return *source_.open; }
    QPushButton& openTargetButton() { return *target_.open; }
    QPushButton& previousButton() { return *previous_; }
    QPushButton& nextButton() { return *next_; }
    QSplitter& splitter() { return *splitter_; }
    QString messageText() const;
    QString statusText() const;

    void openInEditor(Side side);

signals:
    void nextRequested();
    void previousRequested();

protected:
    // Escape closes the view when it is a window of its own.
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Pane {
        ElidedLabel* path = nullptr;
        LineTextView* text = nullptr;
        QLabel* note = nullptr;
        QPushButton* open = nullptr;
        std::string shownPath;  // the file whose lines the view holds
        FileText file;
        std::uint32_t line = 0;  // where the finding is, 0 for none
    };

    QWidget* paneWidget(Pane& pane, const char* heading, const char* openLabel);
    void showSide(Pane& pane, const std::string& path, const PairFindings& pair, int codePage,
                  const std::optional<FindingSpot>& spot, bool reread);

    Dialogs& dialogs_;
    Pane source_;
    Pane target_;
    QLabel* icon_;
    QLabel* message_;
    QLabel* position_;
    QLabel* status_;
    QPushButton* previous_;
    QPushButton* next_;
    QSplitter* splitter_;
    std::optional<std::size_t> pairIndex_;
};

}  // namespace brevo::app
