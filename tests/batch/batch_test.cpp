// lomitra-batch end to end: whole result and table files byte for byte, exit
// statuses, and files left untouched when anything fails. The option mapping
// onto the settings positions is checked in-process.
//
// Coordinates are network points 1, 10 and 14 of JHS 154 (KKJ zone 3 and
// ETRS-TM35FIN); a vertex maps exactly onto its partner.
#include "batch/batch_converter.h"
#include "batch/batch_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "batch_test_support.h"
#include "core/cp1252.h"
#include "core/map_sheet.h"
#include "core/table_heading.h"
#include "core/texts.h"

namespace lomitra {
namespace {

namespace fs = std::filesystem;

class BatchTest : public testing::BatchFolderTest {
protected:
    // Runs the program; returns its exit status and keeps what it wrote to standard error.
    int run(const std::vector<std::string>& args, const testing::BatchRunOptions& options = {}) {
        const testing::BatchProcess process = runBatch(args, options);
        stderr_ = process.err;
        return process.exitStatus;
    }

    std::string stderr_;
};

// Free format, KKJ -> ETRS-TM35FIN: mixed line ends, lines that do not convert
// (kept byte for byte, Windows-1252 bytes included), a last line without a line end.
TEST_F(BatchTest, FreeFormatKkjToEuref) {
    write(path("in.txt"),
          "Pisteet\r\n"
          "P1 6718527.414 3106266.213 \xE4\xF6\r\n"
          "P10\t6712263.904\t3495070.508\n"
          "ohi 9512263.904 3495070.508 \xFF\r"
          "\r\n"
          "P14 6879999,861 3663986.641");
    ASSERT_EQ(run({"--direction", "kkj-euref", "--fields", "2,3,1", "-o", path("out.txt"), path("in.txt")}), 0)
        << stderr_;
    EXPECT_EQ(read(path("out.txt")),
              "Pisteet\r\n"
              "P1 6715706.377 106256.360  \xE4\xF6\r\n"
              "P10\t6709447.856\t494903.060 \r\n"
              "ohi 9512263.904 3495070.508 \xFF\r\n"
              "\r\n"
              "P14 6877117.103 663749.596 \r\n");
    EXPECT_EQ(stderr_, "muunnettu 3 pistettä, 3 riviä ei muunnettu\n");
}

// Fixed columns, ETRS-TM35FIN -> KKJ zone 3, with the table file.
TEST_F(BatchTest, FixedColumnsEurefToKkjWithTable) {
    write(path("in.txt"),
          "P10       6709447.856 494903.060   x\xE9\r\n"
          "lyhyt\r\n"
          "P1        6715706.377 106256.360   y\r\n");
    ASSERT_EQ(run({"--result-zone=3", "--columns", "11:11,23:13,1:8", "--table", path("table.txt"), "-o",
                   path("out.txt"), path("in.txt")}),
              0)
        << stderr_;
    EXPECT_EQ(read(path("out.txt")),
              "P10       6712263.904   3495070.508x\xE9\r\n"
              "lyhyt\r\n"
              "P1        6718527.414   3106266.213y\r\n");
    EXPECT_EQ(stderr_, "muunnettu 2 pistettä, 1 riviä ei muunnettu\n");

    ConversionSettings settings;
    settings.resultZone = 3;
    std::string expected;
    for (const std::string& heading : headingLines(settings)) expected += heading + "\r\n";
    expected += "P10      6709447.856   494903.060      6712263.904   3495070.508     " +
                kkjSheetId(6712263.904, 3495070.508) + "   " + utmSheetId(6709447.856, 494903.060) + " \r\n";
    expected += "lyhyt    " + std::string(28, ' ') + "    " +
                utf8ToCp1252(texts::kSourceCoordinatesMissing) + "\r\n";
    expected += "P1       6715706.377   106256.360      6718527.414   3106266.213     " +
                kkjSheetId(6718527.414, 3106266.213) + "   " + utmSheetId(6715706.377, 106256.360) + " \r\n";
    expected += "\r\n";
    EXPECT_EQ(read(path("table.txt")), expected);
}

// A result that would lose an integer digit leaves its line unchanged; the
// files are still written, the summary counts it with its line number, and
// the exit status is 3. A point at sea counts as outside the network.
TEST_F(BatchTest, LinesWhoseResultsDoNotFitExitThree) {
    const std::string notFitting = "P11       6709447.856 49490";  // 5 columns left for KKJ I
    write(path("in.txt"),
          "lyhyt\r\n"
          "P10       6709447.856 494903.060   x\r\n"
          "P99       6100000.000 300000.000\r\n" +
          notFitting + "\r\n" + notFitting + "\r\n");
    ASSERT_EQ(run({"--result-zone=3", "--columns", "11:11,23:13,1:8", "--table", path("table.txt"), "-o",
                   path("out.txt"), path("in.txt")}),
              3)
        << stderr_;
    const std::string out = read(path("out.txt"));
    EXPECT_EQ(out.substr(0, 45), "lyhyt\r\nP10       6712263.904   3495070.508x\r\n");
    const std::string atSea = out.substr(45, out.find("\r\n", 45) - 45);
    EXPECT_EQ(atSea.size(), 32u);
    EXPECT_EQ(atSea.substr(0, 11), "P99       6") << atSea;
    EXPECT_EQ(atSea[22], '3') << "KKJ zone 3: " << atSea;
    EXPECT_EQ(atSea.substr(22).find('.'), 7u) << "I with its 7 integer digits, cut to 10 columns: " << atSea;
    EXPECT_EQ(out.substr(45 + 34), notFitting + "\r\n" + notFitting + "\r\n");
    EXPECT_EQ(stderr_,
              "muunnettu 2 pistettä, 1 riviä ei muunnettu\n"
              "kolmioverkon ulkopuolella 1 pistettä: muunnettu Helmert-muunnoksella, tarkkuus noin 1–2 m\n"
              "2 riviä jätettiin muuntamatta, koska tulos ei mahtunut sarakkeisiin. "
              "Ensimmäinen niistä on rivi 4.\n");
    const std::string table = read(path("table.txt"));
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 8 + 5 + 1)
        << "the table lists every line, the points that did not fit with their results";
}

// Several conversion threads write what one writes: the same result and
// table bytes, the same summary with the number of the first line that did
// not fit (here in a later block than the first), the same status.
TEST_F(BatchTest, AnyNumberOfThreadsWritesTheSameFiles) {
    std::mt19937_64 random(154);
    std::uniform_real_distribution<double> north(6.65e6, 7.75e6), east(2.5e5, 6.5e5), sea(6.0e6, 6.4e6);
    std::string in;
    char line[96];
    for (int i = 1; i <= 3000; ++i) {
        if (i % 700 == 0) {
            std::snprintf(line, sizeof line, "P%-9d6709447.856 49490\r\n", i);  // 5 columns left for KKJ I
        } else if (i % 97 == 0) {
            std::snprintf(line, sizeof line, "huomautus %d\r\n", i);
        } else {
            std::snprintf(line, sizeof line, "P%-9d%11.3f %10.3f   x\r\n", i, i % 13 == 0 ? sea(random) : north(random),
                          east(random));
        }
        in += line;
    }
    write(path("in.txt"), in);
    std::string firstErr;
    for (const char* threads : {"1", "2", "5"}) {
        const std::string out = path(std::string("out") + threads), table = path(std::string("table") + threads);
        EXPECT_EQ(run({"--threads", threads, "--result-zone=3", "--columns", "11:11,23:13,1:10", "--table", table,
                       "-o", out, path("in.txt")}),
                  3)
            << stderr_;
        if (firstErr.empty()) {
            firstErr = stderr_;
            EXPECT_NE(firstErr.find("Ensimmäinen niistä on rivi 700."), std::string::npos) << firstErr;
            continue;
        }
        EXPECT_EQ(stderr_, firstErr) << threads << " threads";
        EXPECT_EQ(read(out), read(path("out1"))) << threads << " threads";
        EXPECT_EQ(read(table), read(path("table1"))) << threads << " threads";
    }
}

TEST_F(BatchTest, StandardInputToStandardOutput) {
    write(path("in.txt"), "6712263.904 3495070.508\n");
    testing::BatchRunOptions streams;
    streams.input = path("in.txt");
    streams.output = path("out.txt");
    ASSERT_EQ(run({"--direction", "kkj-euref", "--result-zone", "tm35", "--fields", "1,2", "-"}, streams),
              0)
        << stderr_;
    EXPECT_EQ(read(path("out.txt")), "6709447.856 494903.060 \r\n");
}

TEST_F(BatchTest, BadOptionsExitTwoWithUsage) {
    write(path("in.txt"), "1 2\r\n");
    const std::string in = path("in.txt");
    const std::vector<std::vector<std::string>> cases = {
        {},                                                          // nothing at all
        {"--fields", "1,2"},                                         // no source
        {in},                                                        // no layout
        {"--fields", "1,2", "--columns", "1:5,7:5", in},             // both layouts
        {"--fields", "1", in},                                       // one field
        {"--fields", "0,2", in},                                     // field numbers are 1-based
        {"--fields", "1,101", in},                                   // at most 100 fields
        {"--columns", "1:0,7:5", in},                                // empty range
        {"--columns", "1:5;7:5", in},                                // bad list
        {"--fields", "1,2", "--direction", "kkj", in},               // unknown direction
        {"--fields", "1,2", "--result-zone", "gk19", in},            // ETRS zone in the direction EUREF-FIN -> KKJ
        {"--fields", "1,2", "--direction", "kkj-euref", "--result-zone", "gk33", in},
        {"--fields", "1,2", "--direction", "kkj-euref", "--source-zone", "tm35", in},
        {"--fields", "1,2", "--source-format", "dmss", in},
        {"--fields", "1,2", "--bogus", in},
        {"--fields", "1,2", "-o", in},                               // -o swallows the source
        {"--fields", "1,2", in, in},                                 // two sources
        {"--fields", "1,2", "--threads", "0", in},                   // 1-64 threads
        {"--fields", "1,2", "--threads=65", in},
        {"--fields", "1,2", "--threads", "2x", in},
        {"--fields", "1,2", "--encoding", "latin1", in},
    };
    for (const std::vector<std::string>& args : cases) {
        const std::string shown = ::testing::PrintToString(args);
        EXPECT_EQ(run(args), 2) << shown;
        EXPECT_NE(stderr_.find("Käyttö: lomitra-batch"), std::string::npos) << shown;
    }
}

TEST_F(BatchTest, VersionPrintsTheNameAndVersion) {
    testing::BatchRunOptions toFile;
    toFile.output = path("out");
    EXPECT_EQ(run({"--version"}, toFile), 0);
    EXPECT_EQ(read(path("out")), std::string("lomitra-batch ") + LOMITRA_VERSION + "\n");
    EXPECT_EQ(stderr_, "");
    // As --help, it answers before the other options are checked.
    EXPECT_EQ(run({"--version", "--direction", "nowhere"}, toFile), 0);
    EXPECT_EQ(read(path("out")), std::string("lomitra-batch ") + LOMITRA_VERSION + "\n");
}

TEST_F(BatchTest, ProgressLineOnATerminalOnlyAndWipedBeforeTheSummary) {
#ifdef _WIN32
    GTEST_SKIP() << "needs a POSIX shell and script(1) for a terminal";
#endif
    // A source that arrives through a pipe with a pause: 2 048 lines, 1.2 s
    // of nothing, 4 096 lines more, so the run surely lasts over a second.
    // Standard error goes once to a file and once to a terminal (script).
    std::string lines;
    for (int i = 0; i < 1024; ++i) lines += "6859871.251 498696.216\r\n";
    write(path("a.txt"), lines + lines);
    write(path("b.txt"), lines + lines + lines + lines);
    write(path("run.sh"), "(cat '" + path("a.txt") + "'; sleep 1.2; cat '" + path("b.txt") + "') | '" +
                              LOMITRA_BATCH_EXE + "' --fields 1,2 -o '" + path("tulos.txt") + "' -\n");
    const std::string summary = "muunnettu 6144 pistettä, 0 riviä ei muunnettu";

    ASSERT_EQ(std::system(("sh '" + path("run.sh") + "' 2>'" + path("file.txt") + "'").c_str()), 0);
    EXPECT_EQ(read(path("file.txt")), summary + "\n") << "the summary alone";

    const std::string terminal =
        "script -qec \"sh '" + path("run.sh") + "'\" /dev/null </dev/null >'" + path("terminal.txt") + "' 2>&1";
    ASSERT_EQ(std::system(terminal.c_str()), 0) << "script (bsdutils) runs the program on a terminal";
    const std::string seen = read(path("terminal.txt"));
    // Drawn at a look after the pause (the reader waits for whole blocks, so
    // which look is not fixed); a pipe has no size, so no percentage.
    std::smatch match;
    ASSERT_TRUE(std::regex_search(seen, match, std::regex("\r(luettu [1-6] [0-9]{3} riviä)\r"))) << seen;
    const auto drawn = static_cast<std::size_t>(match.position(0));
    const std::size_t wiped = seen.find("\r" + std::string(18, ' ') + "\r" + summary, drawn);
    EXPECT_NE(wiped, std::string::npos) << "wiped, then the summary: " << seen;
    EXPECT_LT(drawn, wiped);
    EXPECT_EQ(seen.find("%"), std::string::npos) << "no percentage for a pipe";
}

TEST_F(BatchTest, FileErrorsExitOneAndKeepTheOldFile) {
    write(path("in.txt"), "6712263.904 3495070.508\r\n");
    write(path("old.txt"), "old result\r\n");
    auto fields = [](std::vector<std::string> rest) {
        rest.insert(rest.begin(), {"--direction", "kkj-euref", "--fields", "1,2"});
        return rest;
    };
    EXPECT_EQ(run(fields({"-o", path("old.txt"), path("missing.txt")})), 1);
    EXPECT_NE(stderr_.find("Lähtötiedostoa ei voitu lukea:"), std::string::npos) << stderr_;
    EXPECT_EQ(run(fields({"-o", path("no/such/dir.txt"), path("in.txt")})), 1);
    EXPECT_NE(stderr_.find("Tiedostoon ei voitu kirjoittaa:"), std::string::npos) << stderr_;
    EXPECT_EQ(run(fields({"--table", path("no/such/table.txt"), "-o", path("old.txt"), path("in.txt")})), 1);
    EXPECT_EQ(run(fields({"-o", path("in.txt"), path("in.txt")})), 1) << "result over the source";
    EXPECT_EQ(read(path("in.txt")), "6712263.904 3495070.508\r\n");
    EXPECT_EQ(read(path("old.txt")), "old result\r\n");
    EXPECT_EQ(filesInDir(), 3u) << "no temporary file left behind";  // in, old, stderr
}

// The source named as the result or the table in another spelling (through
// a folder and back, a hard link, a name beyond ASCII) is refused before
// anything is written, and stays as it was.
TEST_F(BatchTest, TheSourceInAnotherSpellingIsNeverWritten) {
    const std::string contents = "6712263.904 3495070.508\r\n";
    fs::create_directory(dir_ / "sub");
    write(path("in.txt"), contents);
    write(path("l\xC3\xA4hd\xC3\xB6.txt"), contents);  // "lähdö.txt"
    fs::create_hard_link(dir_ / "in.txt", dir_ / "link.txt");
    struct Case {
        const char* name;
        std::string source;
        std::string option;  // -o or --table
        std::string output;
    };
    const Case cases[] = {
        {"through a folder and back", path("in.txt"), "-o", path("sub/../in.txt")},
        {"a hard link", path("in.txt"), "-o", path("link.txt")},
        {"the table through a folder and back", path("in.txt"), "--table", path("sub/../in.txt")},
        {"a name beyond ASCII", path("l\xC3\xA4hd\xC3\xB6.txt"), "-o", path("sub/../l\xC3\xA4hd\xC3\xB6.txt")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = {"--direction", "kkj-euref", "--fields", "1,2", c.option, c.output};
        if (c.option != "-o") args.insert(args.end(), {"-o", path("out.txt")});
        args.push_back(c.source);
        EXPECT_EQ(run(args), 1);
        EXPECT_EQ(stderr_, "lomitra-batch: Tiedostoja ei voi kirjoittaa l\xC3\xA4ht\xC3\xB6tiedoston p\xC3\xA4\xC3\xA4lle "
                           "eik\xC3\xA4 toistensa p\xC3\xA4\xC3\xA4lle: " + c.source + "\n");
        EXPECT_EQ(read(c.source), contents);
        EXPECT_FALSE(fs::exists(dir_ / "out.txt"));
    }
}

TEST_F(BatchTest, FailedWriteLeavesTheOldFileUntouched) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no file size limit to stand in for a full disk";
#endif
    std::string source;
    for (int i = 0; i < 2000; ++i) source += "P10 6712263.904 3495070.508\r\n";
    write(path("in.txt"), source);
    write(path("old.txt"), "old result\r\n");
    // A file size limit of a few kilobytes makes the writes fail midway, as a full disk would.
    testing::BatchRunOptions limited;
    limited.fileSizeLimit = 8192;
    EXPECT_EQ(run({"--direction", "kkj-euref", "--fields", "2,3", "-o", path("old.txt"), path("in.txt")}, limited),
              1);
    EXPECT_NE(stderr_.find("Tiedostoon ei voitu kirjoittaa:"), std::string::npos) << stderr_;
    EXPECT_EQ(read(path("old.txt")), "old result\r\n");
    EXPECT_EQ(filesInDir(), 3u) << "no temporary file left behind";
}

TEST(BatchOptions, MapOntoTheSettingsPositions) {
    struct Case {
        std::vector<std::string> args;
        ConversionSettings expected;
    };
    auto settings = [](int direction, int sourceKind, int sourceZone, int sourceFormat, int resultKind,
                       int resultZone, int resultFormat) {
        ConversionSettings s;
        s.direction = direction;
        s.sourceKind = sourceKind;
        s.sourceZone = sourceZone;
        s.sourceFormat = sourceFormat;
        s.resultKind = resultKind;
        s.resultZone = resultZone;
        s.resultFormat = resultFormat;
        return s;
    };
    const std::vector<Case> cases = {
        {{"--fields", "1,2", "f"}, settings(0, 0, 1, 0, 0, 0, 0)},
        {{"--direction", "kkj-euref", "--fields", "1,2", "f"}, settings(1, 0, 0, 0, 0, 1, 0)},
        {{"--source-zone", "tm34", "--result-zone", "5", "--fields", "1,2", "f"}, settings(0, 0, 0, 0, 0, 5, 0)},
        {{"--source-zone=tm36", "--result-zone=own", "--fields=1,2", "f"}, settings(0, 0, 2, 0, 0, 0, 0)},
        {{"--direction=kkj-euref", "--result-zone", "tm34", "--fields", "1,2", "f"}, settings(1, 0, 0, 0, 0, 0, 0)},
        {{"--direction=kkj-euref", "--result-zone", "tm36", "--fields", "1,2", "f"}, settings(1, 0, 0, 0, 0, 2, 0)},
        {{"--direction=kkj-euref", "--result-zone", "gk19", "--fields", "1,2", "f"}, settings(1, 0, 0, 0, 0, 3, 0)},
        {{"--direction=kkj-euref", "--result-zone", "gk32", "--fields", "1,2", "f"}, settings(1, 0, 0, 0, 0, 16, 0)},
        {{"--source", "geographic", "--source-format", "dms", "--result", "geographic", "--result-format", "dm",
          "--fields", "1,2", "f"},
         settings(0, 1, 1, 2, 1, 0, 1)},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto options = parseBatchOptions(c.args, error);
        ASSERT_TRUE(options.has_value()) << error;
        const ConversionSettings& s = options->settings;
        const ConversionSettings& e = c.expected;
        EXPECT_EQ(std::vector<int>({s.direction, s.sourceKind, s.sourceZone, s.sourceFormat, s.resultKind,
                                    s.resultZone, s.resultFormat}),
                  std::vector<int>({e.direction, e.sourceKind, e.sourceZone, e.sourceFormat, e.resultKind,
                                    e.resultZone, e.resultFormat}))
            << c.args[0] << " " << c.args[1];
    }
}

TEST(BatchOptions, Layouts) {
    std::string error;
    auto options = parseBatchOptions({"--fields", "2,3,1", "-"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->layout, LineLayout::FreeFormat);
    EXPECT_EQ(options->fieldNumber, (std::array<int32_t, 3>{1, 2, 0}));
    EXPECT_EQ(options->columnLength[2], 1) << "the identifier counts as marked";
    EXPECT_EQ(options->source, "-");
    EXPECT_EQ(options->output, "-");

    options = parseBatchOptions({"--fields", "2,100", "x"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->fieldNumber, (std::array<int32_t, 3>{1, 99, -1}));
    EXPECT_EQ(options->columnLength[2], 0);

    options = parseBatchOptions({"--columns", "11:11,23:13", "-o", "out", "--table", "t", "in"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->layout, LineLayout::FixedColumns);
    EXPECT_EQ(options->columnStart, (std::array<int32_t, 3>{11, 23, 0}));
    EXPECT_EQ(options->columnLength, (std::array<int32_t, 3>{11, 13, 0}));
    EXPECT_EQ(options->output, "out");
    EXPECT_EQ(options->table, "t");
    EXPECT_EQ(options->source, "in");
    EXPECT_EQ(options->threads, 0) << "one per processor";

    for (const auto& [value, threads] : {std::pair{"1", 1}, std::pair{"64", 64}}) {
        options = parseBatchOptions({"--fields", "1,2", "--threads", value, "in"}, error);
        ASSERT_TRUE(options) << error;
        EXPECT_EQ(options->threads, threads);
    }
}

}  // namespace
}  // namespace lomitra
