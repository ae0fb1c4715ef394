// Drives the desktop app's window on the offscreen platform: verifies the given pairs through
// the Verify page as a user would, with the dialogs answered in place, and reports how long the
// batch took and how late the window repainted while it ran.
//
//   brevo-app-bench --source-dir DIR [--runs N] [--results FILE] [--summary FILE] FILE...
//
// Prints "batch SECONDS" (the best of the runs, from the click on Verify to the idle page) and
// "repaint MAX_MS AVERAGE_MS" (the time between two paints of a widget that asks for one every
// 10 ms, in the last run).

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/dialogs/dialogs.h"
#include "app/model/results_file.h"
#include "app/model/verify_settings.h"
#include "app/pages/verify_page.h"
#include "app/platform/qt_text.h"
#include "app/property_sheet.h"

namespace {

using brevo::app::Dialogs;
using brevo::app::FileChoice;

// Every question answered as the command line's --overwrite would; the files given at once.
class BenchDialogs : public Dialogs {
public:
    Answer message(QWidget*, const QString& text, Icon, Buttons buttons) override {
        lastMessage = text;
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    }
    std::optional<FileChoice> chooseFiles(QWidget*, const QString&, const QString&,
                                          const QString&) override {
        return files;
    }
    std::optional<QString> chooseDirectory(QWidget*, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> chooseSaveFile(QWidget*, const QString&, const QString&, const QString&,
                                          const QString&) override {
        return std::nullopt;
    }
    int run(QDialog& dialog) override {
        dialog.accept();
        return dialog.result();
    }
    bool openDocument(const QString&) override { return false; }

    FileChoice files;
    QString lastMessage;
};

// A widget that asks to be repainted every 10 ms and notes the longest time between two of its
// paints: how long the window could not repaint. A late timer counts too, as it would for a
// window that is being covered and uncovered.
class RepaintProbe : public QWidget {
public:
    RepaintProbe() {
        resize(64, 64);
        connect(&timer_, &QTimer::timeout, this, [this] { update(); });
        timer_.start(10);
    }
    double worstMs() const { return worst_; }
    double averageMs() const { return count_ == 0 ? 0 : total_ / count_; }
    void reset() {
        worst_ = total_ = count_ = 0;
        since_.start();
        last_.invalidate();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        dark_ = !dark_;
        QPainter(this).fillRect(rect(), dark_ ? Qt::gray : Qt::white);
        if (last_.isValid()) {
            const double gap = static_cast<double>(last_.nsecsElapsed()) / 1e6;
            if (gap > worst_ && std::getenv("BREVO_BENCH_TRACE") != nullptr) {
                std::fprintf(stderr, "no repaint for %.1f ms at %.3f s\n", gap,
                             static_cast<double>(since_.nsecsElapsed()) / 1e9);
            }
            worst_ = std::max(worst_, gap);
            total_ += gap;
            ++count_;
        }
        last_.start();
    }

private:
    QTimer timer_;
    QElapsedTimer last_;
    QElapsedTimer since_;
    bool dark_ = false;
    double worst_ = 0;
    double total_ = 0;
    double count_ = 0;  // a double, as the average is one
};

struct Options {
    QString sourceDir;
    QStringList files;
    int runs = 1;
    QString resultsFile;
    QString summaryFile;
};

std::optional<Options> parse(const QStringList& args) {
    Options options;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QStringLiteral("--source-dir") && hasValue) {
            options.sourceDir = args[++i];
        } else if (arg == QStringLiteral("--runs") && hasValue) {
            options.runs = std::max(1, args[++i].toInt());
        } else if (arg == QStringLiteral("--results") && hasValue) {
            options.resultsFile = args[++i];
        } else if (arg == QStringLiteral("--summary") && hasValue) {
            options.summaryFile = args[++i];
        } else {
            options.files << QFileInfo(arg).absoluteFilePath();
        }
    }
    if (options.sourceDir.isEmpty() || options.files.isEmpty()) return std::nullopt;
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::optional<Options> options = parse(QCoreApplication::arguments());
    if (!options) {
        std::fputs(
            "usage: brevo-app-bench --source-dir DIR [--runs N] [--results FILE] "
            "[--summary FILE] FILE...\n",
            stderr);
        return 64;
    }
    using namespace brevo::app;
    const std::string home = toPath(QDir::homePath() + QLatin1Char('/'));
    VerifySettings settings = defaultSettings(home);
    settings.fileFormat =
        options->files.front().endsWith(QStringLiteral(".rtf"), Qt::CaseInsensitive)
            ? brevo::FileFormat::Rtf
            : brevo::FileFormat::Text;
    settings.overwriteFiles = true;
    settings.orgFilesPath = toPath(QFileInfo(options->sourceDir).absoluteFilePath() + '/');
    BenchDialogs dialogs;
    dialogs.files = FileChoice{options->files, QFileInfo(options->files.front()).absolutePath()};
    CMyPropertySheet sheet(dialogs, settings, home);
    sheet.show();
    RepaintProbe probe;
    probe.show();

    CMyPropertyPage2& page = sheet.verifyPage();
    double best = 0;
    for (int run = 0; run < options->runs; ++run) {
        page.clearResults();
        probe.reset();
        bool finished = false;
        const auto connection =
            QObject::connect(&page, &CMyPropertyPage2::batchFinished, [&] { finished = true; });
        QElapsedTimer clock;
        clock.start();
        page.verifyButton().click();
        while (!finished) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        QObject::disconnect(connection);
        best = run == 0 ? seconds : std::min(best, seconds);
        std::printf("run %d: batch %.3f s, repaint worst %.1f ms, average %.1f ms\n", run + 1,
                    seconds, probe.worstMs(), probe.averageMs());
    }
    std::printf("batch %.3f\nrepaint %.1f %.1f\n", best, probe.worstMs(), probe.averageMs());
    if (!options->resultsFile.isEmpty()) {
        saveResults(toPath(options->resultsFile), page.resultLines());
    }
    if (!options->summaryFile.isEmpty()) {
        QFile summary(options->summaryFile);
        if (summary.open(QIODevice::WriteOnly)) summary.write(dialogs.lastMessage.toUtf8());
    }
    return 0;
}
