// The progress line of lomitra-batch: when it shows (terminal, after a
// second, twice a second), what it says, that it is wiped, and the hook in
// the batch run, with a scripted clock.
#include "platform/progress_line.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "batch/batch_converter.h"
#include "batch/batch_options.h"
#include "platform/interrupt_cleanup.h"
#include "platform/native_file.h"
#include "tests/support/temp_folder.h"

namespace lomitra {
namespace {

// Everything written to a temporary stream.
class Capture {
public:
    Capture() : file_(std::tmpfile()) {}
    ~Capture() { std::fclose(file_); }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;
    std::FILE* stream() const { return file_; }
    std::string text() const {
        std::fflush(file_);
        std::string bytes;
        std::rewind(file_);
        for (int c = std::fgetc(file_); c != EOF; c = std::fgetc(file_)) bytes += static_cast<char>(c);
        return bytes;
    }

private:
    std::FILE* file_;
};

// A clock that the test moves.
struct ScriptedClock {
    double now = 100.0;
    ProgressLine::Clock clock() {
        return [this] { return now; };
    }
};

// Reports `lines` lines of 30 bytes each.
void readLines(ProgressLine& progress, int64_t lines, int64_t& bytes) {
    for (int64_t i = 0; i < lines; ++i) progress.lineRead(bytes += 30);
}

// The lines drawn: the texts between carriage returns, blanks trimmed.
std::vector<std::string> drawn(const std::string& output) {
    std::vector<std::string> texts;
    std::size_t at = 0;
    while ((at = output.find('\r', at)) != std::string::npos) {
        const std::size_t next = output.find('\r', at + 1);
        std::string text = output.substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1);
        while (!text.empty() && text.back() == ' ') text.pop_back();
        texts.push_back(text);
        at = at + 1;
    }
    return texts;
}

TEST(ProgressLineTest, Texts) {
    struct Case {
        int64_t lines;
        int64_t bytes;
        int64_t total;
        std::string expected;
    };
    const Case cases[] = {
        {0, 0, -1, "luettu 0 riviä"},
        {999, 10, -1, "luettu 999 riviä"},
        {1000, 10, 0, "luettu 1 000 riviä"},
        {1234567, 450, 1000, "luettu 1 234 567 riviä (45 %)"},
        {12, 999, 1000, "luettu 12 riviä (99 %)"},
        {12, 1000, 1000, "luettu 12 riviä (100 %)"},
        {12, 1200, 1000, "luettu 12 riviä (100 %)"},  // a file that grew while read
        {1000000000, 1, 3, "luettu 1 000 000 000 riviä (33 %)"},
    };
    for (const Case& c : cases) EXPECT_EQ(ProgressLine::text(c.lines, c.bytes, c.total), c.expected);
}

TEST(ProgressLineTest, ShowsAfterASecondRedrawsTwiceASecondAndIsWiped) {
    Capture out;
    ScriptedClock time;
    ProgressLine progress(out.stream(), true, 3'000'000, time.clock());
    int64_t bytes = 0;
    const int64_t look = ProgressLine::kLinesPerLook;

    time.now += 0.9;
    readLines(progress, 5 * look, bytes);
    EXPECT_EQ(out.text(), "") << "quiet during the first second";

    time.now += 0.2;
    readLines(progress, look, bytes);
    EXPECT_EQ(drawn(out.text()), std::vector<std::string>{"luettu 6 144 riviä (6 %)"});
    time.now += 0.3;
    readLines(progress, 3 * look, bytes);
    EXPECT_EQ(drawn(out.text()).size(), 1u) << "not again within half a second";
    time.now += 0.25;
    readLines(progress, look, bytes);
    EXPECT_EQ(drawn(out.text()).back(), "luettu 10 240 riviä (10 %)");
    EXPECT_EQ(drawn(out.text()).size(), 2u);

    progress.clear();
    const std::string all = out.text();
    const std::string wipe = "\r" + std::string(26, ' ') + "\r";
    ASSERT_GE(all.size(), wipe.size());
    EXPECT_EQ(all.substr(all.size() - wipe.size()), wipe) << "blanks over the widest line drawn";
    EXPECT_EQ(all.find('\n'), std::string::npos) << "never a new line";
    progress.clear();
    EXPECT_EQ(out.text(), all) << "wiped once";
}

// An interrupt's message starts a line of its own: after a drawn line the
// handler ends it; after a wiped one there is nothing to end.
TEST(ProgressLineTest, AnInterruptEndsADrawnLineBeforeItsMessage) {
#ifdef _WIN32
    GTEST_SKIP() << "POSIX signals; a console event cannot be raised in a test";
#else
    for (const bool wiped : {false, true}) {
        auto interrupt = [wiped] {
            installInterruptCleanup("keskeytetty\n");
            ScriptedClock time;
            ProgressLine progress(stderr, true, -1, time.clock());
            time.now += 2;
            int64_t bytes = 0;
            readLines(progress, ProgressLine::kLinesPerLook, bytes);
            if (wiped) progress.clear();
            std::raise(SIGINT);
        };
        EXPECT_EXIT(interrupt(), ::testing::ExitedWithCode(128 + SIGINT),
                    wiped ? "\r {18}\rkeskeytetty\n$" : "\rluettu 1 024 riviä\nkeskeytetty\n$");
    }
#endif
}

TEST(ProgressLineTest, NothingWithoutATerminalOrBeforeTheFirstLook) {
    Capture out;
    ScriptedClock time;
    ProgressLine notTerminal(out.stream(), false, 1000, time.clock());
    ProgressLine fewLines(out.stream(), true, 1000, time.clock());
    time.now += 60;
    int64_t bytes = 0;
    readLines(notTerminal, 100 * ProgressLine::kLinesPerLook, bytes);
    readLines(fewLines, ProgressLine::kLinesPerLook - 1, bytes);
    notTerminal.clear();
    fewLines.clear();
    EXPECT_EQ(out.text(), "");
}

TEST(ProgressLineTest, TerminalDecisionAndSourceSize) {
    // A file is no terminal; the slave side of a pseudo-terminal is.
    Capture file;
    EXPECT_FALSE(isTerminal(file.stream()));
#ifndef _WIN32  // a Windows console cannot be made without a window station; file and size below hold there too
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) {
        std::FILE* terminal = std::fopen(ptsname(master), "w");
        ASSERT_NE(terminal, nullptr);
        EXPECT_TRUE(isTerminal(terminal));
        std::fclose(terminal);
    } else {
        ADD_FAILURE() << "no pseudo-terminal to test with";
    }
    if (master >= 0) close(master);
#endif

    const testing::TempFolder folder;
    const std::string source = folder.file("pisteet.txt");
    std::ofstream(nativePath(source), std::ios::binary) << std::string(12345, 'x');
    EXPECT_EQ(regularFileSize(source), 12345);
    EXPECT_EQ(regularFileSize(folder.path()), -1) << "a folder";
    EXPECT_EQ(regularFileSize(source + ".puuttuu"), -1);
}

TEST(ProgressLineTest, BatchRunReportsEveryLineWithTheBytesRead) {
    // 20 000 lines of 34 bytes through the real run; the clock moves a second per look.
    const testing::TempFolder folder;
    const std::string source = folder.file("pisteet.txt");
    {
        std::ofstream out(nativePath(source), std::ios::binary);
        for (int i = 0; i < 20000; ++i) out << "6859871.251 498696.216 p" << 10000 + i << "\r\n";
    }
    std::string error;
    const std::vector<std::string> args = {"--fields", "1,2", "-o", folder.file("tulos.txt"), source};
    const auto options = parseBatchOptions(args, error);
    ASSERT_TRUE(options) << error;

    Capture out;
    double now = 0;
    ProgressLine progress(out.stream(), true, regularFileSize(source), [&now] { return now += 1.0; });
    BatchSummary summary;
    ASSERT_EQ(runBatch(*options, summary, error, &progress), kBatchOk) << error;
    EXPECT_EQ(summary.converted, 20000);
    const std::vector<std::string> lines = drawn(out.text());
    ASSERT_EQ(lines.size(), 19u) << "one line per look: 20 000 / 1 024";
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const int64_t read = static_cast<int64_t>(k + 1) * ProgressLine::kLinesPerLook;
        EXPECT_EQ(lines[k], ProgressLine::text(read, read * 34, 20000 * 34)) << "look " << k;
    }
}

}  // namespace
}  // namespace lomitra
