// The report log holds positions, packs lines into blocks and moves them to a temporary file
// once it is large; whatever it does, the lines must come back as they went in.

#include "report/report_log.h"

#include <gtest/gtest.h>

#include <iterator>
#include <list>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "base/file_failure.h"
#include "report/line_writer.h"
#include "report/report_file.h"
#include "report/rtf_report_file.h"
#include "test_support.h"

namespace brevo {
namespace {

using test::TempDir;

// Lines of every awkward kind: empty, with line feeds and NUL bytes, and now and then larger
// than a block or a read chunk of the log.
std::string randomLine(std::mt19937& random) {
    const auto kind = random() % 3000;
    std::size_t length = random() % 120;
    if (kind == 0) length = (std::size_t{1} << 20) + random() % 5000;
    if (kind > 0 && kind < 15) length = (std::size_t{64} << 10) + random() % 100;
    std::string line(length, 'x');
    for (char& c : line) c = static_cast<char>("ab\n\0<>\xe9 "[random() % 8]);
    return line;
}

// Appends, inserts after held positions and lets positions go, as the passes and the run do,
// while keeping the same lines in a plain list.
struct Exercise {
    ReportLog log;
    std::list<std::string> model;
    std::vector<std::pair<ReportLog::Position, std::list<std::string>::iterator>> held;

    void step(std::mt19937& random) {
        const auto action = random() % 100;
        if (action < 85 || held.empty()) {
            const std::string line = randomLine(random);
            log.append(line);
            model.push_back(line);
            if (action < 3) held.emplace_back(*log.last(), std::prev(model.end()));
        } else if (action < 95) {
            auto& [position, place] = held[random() % held.size()];
            const std::string line = randomLine(random);
            position = log.insertAfter(position, line);
            place = model.insert(std::next(place), line);
        } else {
            // Letting the oldest go leaves lines between earlier runs free to move out.
            held.erase(held.begin());
        }
    }
};

TEST(ReportLog, LinesComeBackInOrderWhetherHeldPackedOrMovedToTheFile) {
    std::mt19937 random(21);
    Exercise exercise;
    // Enough for the log to move lines out several times.
    for (int step = 0; step < 40000; ++step) exercise.step(random);
    const ReportLog::Lines& lines = exercise.log.lines();
    ASSERT_EQ(exercise.log.size(), exercise.model.size());
    ASSERT_EQ(lines.size(), exercise.model.size());
    EXPECT_TRUE(std::equal(lines.begin(), lines.end(), exercise.model.begin()));

    // Inserting after a held line still lands right after it.
    auto& [position, place] = exercise.held.front();
    exercise.log.insertAfter(position, "inserted late");
    exercise.model.insert(std::next(place), "inserted late");
    std::vector<std::string> visited;
    exercise.log.forEachLine([&](std::string_view line) { visited.emplace_back(line); });
    EXPECT_TRUE(
        std::equal(visited.begin(), visited.end(), exercise.model.begin(), exercise.model.end()));
}

// Lines read back from the file come in chunks or windows; a line longer than several of them,
// or than a whole one, must come back whole, and the room it needed must not spoil the lines
// after it.
TEST(ReportLog, LinesLongerThanSeveralReadChunksComeBackWhole) {
    ReportLog log;
    std::vector<std::string> model;
    for (const std::size_t length :
         {std::size_t{100}, std::size_t{3} << 20, std::size_t{7}, std::size_t{5} << 20,
          std::size_t{0}, std::size_t{70000}, std::size_t{9} << 20}) {
        for (int copy = 0; copy < 3; ++copy) {
            std::string line(length, static_cast<char>('a' + model.size() % 26));
            if (!line.empty()) line.back() = '\n';
            log.append(line);
            model.push_back(line);
        }
    }
    std::vector<std::string> visited;
    log.forEachLine([&](std::string_view line) { visited.emplace_back(line); });
    EXPECT_EQ(visited, model);
}

TEST(ReportLog, WritersGiveTheSameBytesFromTheLogAsFromItsLines) {
    std::mt19937 random(22);
    Exercise exercise;
    for (int step = 0; step < 40000; ++step) exercise.step(random);
    // A line too long to be turned into CR LF lines within one write block, between short ones.
    std::string longLine(BlockFileWriter::kBlockSize / 2 + 5, 'l');
    for (std::size_t at = 0; at < longLine.size(); at += 4099) longLine[at] = '\n';
    for (const std::string& line : {std::string("\n"), longLine, std::string("x\ny")}) {
        exercise.log.append(line);
    }
    TempDir dir;
    const ReportLog::Lines& lines = exercise.log.lines();

    detail::writeTextReport(dir.dir() + "from-lines.CMP", lines);
    writeTextReport(dir.dir() + "from-log.CMP", exercise.log);
    EXPECT_EQ(test::readFile(dir.path() / "from-log.CMP"),
              test::readFile(dir.path() / "from-lines.CMP"));

    writeRtfReport(dir.dir() + "from-log.rtf", exercise.log,
                   RtfLayout{PageSize::A4, Orientation::Portrait, 1252, 1251});
    EXPECT_EQ(
        test::readFile(dir.path() / "from-log.rtf"),
        detail::buildRtfReport(lines, RtfLayout{PageSize::A4, Orientation::Portrait, 1252, 1251}));
}

TEST(ReportLog, WriterPositionsSurviveEverythingAppendedAfterThem) {
    ReportLog log;
    LanguageSettings languages;
    ReportLineWriter writer(log, FileFormat::Text, languages);
    auto anchor = writer.addReportLine("anchor", Marking::Plain, ParagraphStyle::Report);
    const std::string filler(1000, 'f');
    for (int i = 0; i < 20000; ++i) writer.appendReportLine(filler);
    writer.addReportLine("after anchor", Marking::Plain, ParagraphStyle::Report, anchor);
    const ReportLog::Lines& lines = log.lines();
    ASSERT_EQ(lines.size(), 20002u);
    EXPECT_EQ(*std::next(lines.begin()), "after anchor");
    EXPECT_EQ(lines.back(), filler);
}

TEST(BlockFileWriter, UnfinishedAndUnwritableFiles) {
    TempDir dir;
    {
        BlockFileWriter writer(dir.dir() + "big.txt");
        writer.write(std::string(3 << 20, 'a'));
        writer.write("tail");
        writer.close();
    }
    EXPECT_EQ(test::readFile(dir.path() / "big.txt"), std::string(3 << 20, 'a') + "tail");
    EXPECT_THROW(BlockFileWriter(dir.dir() + "missing/x.txt"), FileFailure);
}

}  // namespace
}  // namespace brevo
