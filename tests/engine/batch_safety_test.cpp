// lomitra-batch's outputs are safe whatever they point at, and hostile input
// is refused cleanly: devices and FIFOs written as they are, links followed,
// read-only targets refused, one file named twice refused, result and table
// replaced together or not at all, interrupted runs leave nothing behind,
// endless lines are refused within bounded memory.
//
// Where permissions matter the program runs as a regular user (nobody) when
// the tests run as root, so that root's rights hide nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "engine/wide_text.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "batch_test_support.h"

namespace lomitra {
namespace {

using testing::BatchProcess;
using testing::BatchRunOptions;

// Network point 10 of JHS 154: KKJ zone 3 and ETRS-TM35FIN.
const std::string kSourceLine = "P10 6712263.904 3495070.508";
const std::string kResultLine = "P10 6709447.856 494903.060 ";

class BatchSafetyTest : public testing::BatchFolderTest {
protected:
    void SetUp() override {
        BatchFolderTest::SetUp();
        write(path("in.txt"), kSourceLine + "\r\n");
    }
    // Old result and table files, which a run that fails must leave as they are.
    void writeOldFiles() const {
        write(path("result.txt"), "old result\r\n");
        write(path("table.txt"), "old table\r\n");
    }
    void expectOldFilesKept() const {
        EXPECT_EQ(read(path("result.txt")), "old result\r\n");
        EXPECT_EQ(read(path("table.txt")), "old table\r\n");
    }
    // in.txt of `count` source lines.
    void writeSourceLines(int count) const {
        std::string lines;
        for (int i = 0; i < count; ++i) lines += kSourceLine + "\r\n";
        write(path("in.txt"), lines);
    }
    // The conversion of in.txt with the extra arguments.
    std::vector<std::string> args(std::vector<std::string> extra) const {
        std::vector<std::string> all{"--direction", "kkj-euref", "--fields", "2,3,1"};
        all.insert(all.end(), extra.begin(), extra.end());
        all.push_back(path("in.txt"));
        return all;
    }
#ifndef _WIN32
    static bool isCharDevice(const char* p) {
        struct stat st {};
        return ::stat(p, &st) == 0 && S_ISCHR(st.st_mode);
    }
#endif
};

// /dev/null takes the output for every user; /dev/full fails with a reason.
TEST_F(BatchSafetyTest, DevicesAreWrittenNeverReplaced) {
#ifdef _WIN32
    GTEST_SKIP() << "/dev/null and /dev/full are POSIX devices; TheNullDeviceTakesTheOutput is the Windows counterpart";
#else
    for (const bool regular : {false, true}) {
        SCOPED_TRACE(regular ? "as a regular user" : "as this user");
        BatchRunOptions options;
        options.asRegularUser = regular;
        const BatchProcess null = runBatch(args({"-o", "/dev/null", "--table", "/dev/null"}), options);
        EXPECT_EQ(null.exitStatus, 2) << "one device named twice is still one output: " << null.err;
        const BatchProcess ok = runBatch(args({"-o", "/dev/null"}), options);
        EXPECT_EQ(ok.exitStatus, 0) << ok.err;
        EXPECT_TRUE(isCharDevice("/dev/null"));

        write(path("table.txt"), "old table\r\n");
        ::chmod(path("table.txt").c_str(), 0666);  // writable for the regular user too
        const BatchProcess full = runBatch(args({"-o", "/dev/full", "--table", path("table.txt")}), options);
        EXPECT_EQ(full.exitStatus, 1);
        EXPECT_EQ(full.err, "lomitra-batch: Tiedostoon ei voitu kirjoittaa: /dev/full (levy on täynnä) "
                            "Mitään ei tulostettu; aiempi tiedosto säilyi ennallaan.\n");
        EXPECT_TRUE(isCharDevice("/dev/full"));
        EXPECT_EQ(read(path("table.txt")), "old table\r\n") << "the table waits for the result";
    }
#endif
}

TEST_F(BatchSafetyTest, AFifoStaysAFifo) {
#ifdef _WIN32
    GTEST_SKIP() << "FIFOs are POSIX files; Windows pipes are not in the file system";
#else
    const std::string fifo = path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    std::string received;
    std::thread reader([&] { received = read(fifo); });
    const BatchProcess run = runBatch(args({"-o", fifo}));
    reader.join();
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(received, kResultLine + "\r\n");
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
#endif
}

TEST_F(BatchSafetyTest, ALinkStaysALinkAndItsFileHoldsTheResult) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need a privilege on Windows";
#else
    std::filesystem::create_directories(dir_ / "data");
    write(path("data/result.txt"), "old\r\n");
    std::filesystem::create_symlink("data/result.txt", dir_ / "link.txt");
    const BatchProcess run = runBatch(args({"-o", path("link.txt")}));
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_TRUE(std::filesystem::is_symlink(path("link.txt")));
    EXPECT_EQ(read(path("data/result.txt")), kResultLine + "\r\n");
    EXPECT_EQ(namesInDir(), (std::vector<std::string>{"data", "in.txt", "link.txt", "stderr"}));
#endif
}

// Read-only: no write permission on POSIX systems (also for a regular user
// when root runs the tests), the read-only attribute on Windows.
TEST_F(BatchSafetyTest, ReadOnlyTargetsAreRefused) {
    const std::filesystem::path locked = nativePath(path("locked.txt"));
    for (const bool regular : {false, true}) {
#ifdef _WIN32
        if (regular) continue;  // Windows has no other user to be here
#endif
        SCOPED_TRACE(regular ? "as a regular user" : "as this user");
        write(path("locked.txt"), "old\r\n");
        std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                                 std::filesystem::perms::others_read);
        BatchRunOptions options;
        options.asRegularUser = regular;
        for (const char* option : {"-o", "--table"}) {
            const BatchProcess run = runBatch(args({option, path("locked.txt")}), options);
            EXPECT_EQ(run.exitStatus, 1) << option;
            EXPECT_NE(run.err.find("(tiedosto on kirjoitussuojattu)"), std::string::npos) << run.err;
            EXPECT_EQ(read(path("locked.txt")), "old\r\n");
        }
        std::filesystem::permissions(locked, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
        std::filesystem::remove(locked);
    }
}

// Root writing another user's file leaves it theirs, with its permissions.
TEST_F(BatchSafetyTest, AReplacedFileKeepsItsOwnerAndPermissions) {
#ifdef _WIN32
    GTEST_SKIP() << "owners and permission bits are POSIX; ReplaceFileW keeps a Windows file's attributes and ACL";
#else
    if (::geteuid() != 0) GTEST_SKIP() << "only root can write another user's file";
    write(path("theirs.txt"), "old\r\n");
    ASSERT_EQ(::chown(path("theirs.txt").c_str(), 65534, 65534), 0);
    ::chmod(path("theirs.txt").c_str(), 0640);
    const BatchProcess run = runBatch(args({"-o", path("theirs.txt")}));
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    struct stat st {};
    ASSERT_EQ(::stat(path("theirs.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
#endif
}

// A system that refuses the worker threads (here a limit of one process for
// the user) leaves the conversion to the main thread: the same result.
TEST_F(BatchSafetyTest, RefusedThreadsLeaveTheConversionToTheMainThread) {
#ifdef _WIN32
    GTEST_SKIP() << "process limits are POSIX";
#else
    if (::geteuid() != 0) GTEST_SKIP() << "the limit is set for a user of its own (nobody), which needs root";
    BatchRunOptions options;
    options.asRegularUser = true;
    options.processLimit = 1;  // the program itself, no thread more
    options.input = path("in.txt");
    options.output = path("out.txt");
#ifdef LOMITRA_SANITIZE
    // LeakSanitizer checks at exit from a thread of its own, which the limit
    // refuses as well: no leak check for this run.
    const char* const saved = std::getenv("ASAN_OPTIONS");
    const std::string asanOptions = saved != nullptr ? saved : "";
    ::setenv("ASAN_OPTIONS", (asanOptions + ":detect_leaks=0").c_str(), 1);
#endif
    BatchProcess run;
    // 122: the program could not start, because another test's program ran
    // as the same user at that moment.
    for (int attempt = 0; attempt < 20 && (attempt == 0 || run.exitStatus == 122); ++attempt) {
        run = runBatch({"--threads", "4", "--direction", "kkj-euref", "--fields", "2,3,1", "-"}, options);
    }
#ifdef LOMITRA_SANITIZE
    if (saved != nullptr) {
        ::setenv("ASAN_OPTIONS", asanOptions.c_str(), 1);
    } else {
        ::unsetenv("ASAN_OPTIONS");
    }
#endif
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(read(path("out.txt")), kResultLine + "\r\n");
#endif
}

TEST_F(BatchSafetyTest, OneFileNamedAsResultAndTableIsAUsageError) {
    std::filesystem::create_directories(dir_ / "sub");
    const std::string d = folder_.path();
    std::vector<std::pair<std::string, std::string>> spellings = {
        {d + "/new.txt", d + "/./new.txt"},
        {d + "/new.txt", d + "/sub/../new.txt"},
        {"-", "-"},
    };
#ifdef _WIN32
    spellings.push_back({d + "\\new.txt", d + "/NEW.TXT"});  // names ignore case
    spellings.push_back({d + "\\sub\\..\\new.txt", d + "/new.txt"});
#else
    std::filesystem::create_symlink(dir_ / "new.txt", dir_ / "link-to-new");
    spellings.push_back({d + "/new.txt", d + "/link-to-new"});
    spellings.push_back({"-", "/dev/stdout"});
#endif
    for (const auto& [output, table] : spellings) {
        const BatchProcess run = runBatch(args({"-o", output, "--table", table}));
        EXPECT_EQ(run.exitStatus, 2) << output << " | " << table;
        EXPECT_EQ(run.err.rfind("Valinnat -o ja --table nimeävät saman tiedoston: " + table + "\n", 0), 0u)
            << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir_ / "new.txt"));
}

// When either file fails, neither old file is replaced.
TEST_F(BatchSafetyTest, ResultAndTableAreReplacedTogetherOrNotAtAll) {
    writeOldFiles();
    std::vector<std::vector<std::string>> failing = {
        {"-o", path("result.txt"), "--table", path("no/such/folder/table.txt")},
        {"-o", path("no/such/folder/result.txt"), "--table", path("table.txt")},
    };
#ifndef _WIN32
    failing.push_back({"-o", path("result.txt"), "--table", "/dev/full"});
    failing.push_back({"-o", "/dev/full", "--table", path("table.txt")});
#endif
    for (const auto& outputs : failing) {
        const BatchProcess run = runBatch(args(outputs));
        EXPECT_EQ(run.exitStatus, 1) << outputs[1] << " " << outputs[3];
        expectOldFilesKept();
    }
#ifndef _WIN32
    // A full disk under the table only: a size limit that the result passes and the table does not.
    writeSourceLines(300);
    BatchRunOptions limited;
    limited.fileSizeLimit = 20000;  // the result is about 8.4 kB, the table about 23 kB
    const BatchProcess run = runBatch(args({"-o", path("result.txt"), "--table", path("table.txt")}), limited);
    EXPECT_EQ(run.exitStatus, 1) << run.err;
    EXPECT_NE(run.err.find("table.txt"), std::string::npos) << run.err;
    expectOldFilesKept();
#endif
    EXPECT_EQ(namesInDir(), (std::vector<std::string>{"in.txt", "result.txt", "stderr", "table.txt"}));
}

// Standard output to a file that fills up part way: the message says the output was cut short.
TEST_F(BatchSafetyTest, StandardOutputCutShortIsSaidSo) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no file size limit to make standard output fail part way";
#else
    writeSourceLines(20000);
    BatchRunOptions options;
    options.output = path("stdout.txt");
    options.fileSizeLimit = 300000;  // the second 256 KiB block goes out in part
    const BatchProcess run = runBatch(args({}), options);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "lomitra-batch: Tiedostoon ei voitu kirjoittaa: vakiotuloste (tiedosto kasvaisi liian "
                       "suureksi) Tuloste jäi kesken: 300000 tavua ehdittiin kirjoittaa ennen virhettä.\n");
    EXPECT_EQ(read(path("stdout.txt")).size(), 300000u);
#endif
}

TEST_F(BatchSafetyTest, EmptyNamesAndFoldersAreNamedInTheMessage) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"--fields", "1,2", "-o", "", path("in.txt")}, 2, "Virheellinen valinta: -o: tiedoston nimi puuttuu\n"},
        {{"--fields", "1,2", "--table=", path("in.txt")}, 2, "Virheellinen valinta: --table: tiedoston nimi puuttuu\n"},
        {{"--fields", "1,2", ""}, 2, "Virheellinen valinta: LÄHDE: tiedoston nimi puuttuu\n"},
        {{"--fields", "1,2", "--direction"}, 2, "Virheellinen valinta: --direction: arvo puuttuu\n"},
        {{"--fields", "1,2", folder_.path()}, 1,
         "lomitra-batch: Lähtötiedostoa ei voitu lukea: " + folder_.path() +
             " (se on kansio) Mitään ei tulostettu; aiempi tiedosto säilyi ennallaan.\n"},
    };
    for (const Case& c : cases) {
        const BatchProcess run = runBatch(c.args);
        EXPECT_EQ(run.exitStatus, c.status) << c.message;
        EXPECT_EQ(run.err.substr(0, c.message.size()), c.message);
    }
}

// Names with Finnish letters and a character outside Windows-1252 (ŋ), in
// the folder and in the files, from the command line to the file system.
TEST_F(BatchSafetyTest, NamesBeyondTheCodePage) {
    const std::string folder = path("probe_J\u00e4\u00e4skel\u00e4inen");
    std::filesystem::create_directories(nativePath(folder));
    const std::string source = folder + "/piste_\u014b.txt";
    const std::string result = folder + "/tulos_\u00e5\u014b.txt";
    const std::string table = folder + "/taulu_\u00f6.txt";
    write(source, kSourceLine + "\r\n");
    const BatchProcess run = runBatch({"--direction", "kkj-euref", "--fields", "2,3,1", "-o", result, "--table",
                                       table, source});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(read(result), kResultLine + "\r\n");
    EXPECT_NE(read(table).find("P10"), std::string::npos);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(nativePath(folder))) {
        names.push_back(utf8Name(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"piste_\u014b.txt", "taulu_\u00f6.txt", "tulos_\u00e5\u014b.txt"}));
}

#ifdef _WIN32

// A target that another program holds open (without sharing deletion) is
// waited for a moment; then the run fails with "in use" and the old file stays.
TEST_F(BatchSafetyTest, ATargetHeldOpenIsInUse) {
    write(path("result.txt"), "old result\r\n");
    const HANDLE held = ::CreateFileW(widen(path("result.txt")).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const BatchProcess run = runBatch(args({"-o", path("result.txt")}));
    ::CloseHandle(held);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("(tiedosto on toisen ohjelman käytössä)"), std::string::npos) << run.err;
    EXPECT_EQ(read(path("result.txt")), "old result\r\n");
    EXPECT_EQ(namesInDir(), (std::vector<std::string>{"in.txt", "result.txt", "stderr"}));

    // Let go within the retry: the result replaces the file.
    const HANDLE brief = ::CreateFileW(widen(path("result.txt")).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(brief, INVALID_HANDLE_VALUE);
    std::thread release([brief] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        ::CloseHandle(brief);
    });
    const BatchProcess later = runBatch(args({"-o", path("result.txt")}));
    release.join();
    EXPECT_EQ(later.exitStatus, 0) << later.err;
    EXPECT_EQ(read(path("result.txt")), kResultLine + "\r\n");
}

TEST_F(BatchSafetyTest, TheNullDeviceTakesTheOutput) {
    const BatchProcess run = runBatch(args({"-o", "NUL", "--table", path("table.txt")}));
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(read(path("table.txt")).find("P10"), std::string::npos);
}

#endif

// SIGTERM in the middle of a million-line run: exit 143, the old result and
// table files byte for byte as before, no temporary file left. The source is
// a pipe, so the run is surely in its middle: half the lines are written, the
// program waits for the rest.
TEST_F(BatchSafetyTest, AnInterruptedRunLeavesTheOldFiles) {
#ifdef _WIN32
    GTEST_SKIP() << "POSIX signals; a Windows console event cannot be sent to a test's child";
#else
    writeOldFiles();
    const std::string fifo = path("source");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    BatchRunOptions options;
    options.input = fifo;
    const pid_t pid = start({"--direction", "kkj-euref", "--fields", "2,3,1", "-o", path("result.txt"), "--table",
                             path("table.txt"), "-"},
                            options);
    ASSERT_GT(pid, 0);
    const int source = ::open(fifo.c_str(), O_WRONLY);
    ASSERT_GE(source, 0);
    std::string block;
    for (int i = 0; i < 1000; ++i) block += kSourceLine + "\r\n";
    for (int i = 0; i < 500; ++i) {  // 500 000 of 1 000 000 lines
        ASSERT_EQ(::write(source, block.data(), block.size()), static_cast<ssize_t>(block.size()));
    }
    const std::size_t hidden = namesInDir().size();
    EXPECT_EQ(hidden, 7u) << "two temporary files beside in, result, table, source and stderr";
    ::kill(pid, SIGTERM);
    const BatchProcess run = wait(pid);
    ::close(source);
    EXPECT_EQ(run.exitStatus, 128 + SIGTERM);
    EXPECT_EQ(run.err, "lomitra-batch: keskeytetty; yhtään tiedostoa ei korvattu\n");
    expectOldFilesKept();
    EXPECT_EQ(namesInDir(), (std::vector<std::string>{"in.txt", "result.txt", "source", "stderr", "table.txt"}));
#endif
}

// /dev/zero has no line end: the first line passes 64 MiB and is refused,
// nothing is written, and memory stays bounded.
TEST_F(BatchSafetyTest, AnEndlessLineIsRefusedInBoundedMemory) {
#ifdef _WIN32
    GTEST_SKIP() << "/dev/zero is a POSIX device; the line limit itself is tested in the reader's tests";
#else
    write(path("result.txt"), "old result\r\n");
    const BatchProcess run = runBatch({"--fields", "1,2", "-o", path("result.txt"), "/dev/zero"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "lomitra-batch: Lähtötiedostoa ei voitu lukea: /dev/zero (rivi 1 on yli 64 MiB pitkä) "
                       "Mitään ei tulostettu; aiempi tiedosto säilyi ennallaan.\n");
    EXPECT_EQ(read(path("result.txt")), "old result\r\n");
#if !defined(LOMITRA_SANITIZE)  // the sanitizers' shadow memory and quarantine would count here
    EXPECT_LT(run.maxRssKiB, 200 * 1024) << "peak memory in KiB";
#endif
#endif
}

}  // namespace
}  // namespace lomitra
