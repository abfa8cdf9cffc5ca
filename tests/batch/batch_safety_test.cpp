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
#include <functional>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "platform/wide_text.h"
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


// ---- Every fault of a hostile environment, one row each ---------------------
//
// A row sets up its own folder (in.txt holds the source line), runs the
// program with the conversion of kkj-euref fields 2,3,1 and the row's
// arguments ("{d}" is the row's folder), may do something while it runs,
// and then expects an exit status, the whole of standard error and the
// contents of files; no temporary file may be left in the folder. Rows that
// need POSIX systems, root (files of another user) or a build without the
// sanitizers (which cannot run under an address-space limit) are skipped
// with their reason elsewhere.

// A file that a row sets up in its folder.
struct Planted {
    enum class Kind { File, Folder, Link, HardLink, Fifo } kind;
    std::string name;  // in the row's folder
    std::string text;  // File: its bytes; Link: its target; HardLink: the file it is another name of
    int mode = -1;     // permission bits (with the sticky bit); -1 the default
    int owner = -1;    // user and group; -1 this process's
    int group = -1;    // another group than the owner's
};

// What a row's file must hold afterwards.
struct Expected {
    std::string name;
    std::string contents;  // kAbsent: it must not exist; kNewTable: a table with the point
    int mode = -1;         // permission bits, where it matters
};
const std::string kAbsent = "<absent>";
const std::string kNewTable = "<the new table>";

enum Needs : unsigned { kPosix = 1, kRoot = 2, kNoSanitizer = 4 };

struct FaultRow {
    std::string fault;
    unsigned needs = 0;
    std::vector<Planted> setup;
    std::vector<std::string> args;  // after the conversion options
    BatchRunOptions run;            // input, output and workingFolder with "{d}" too
    enum class During {
        Nothing,
        SignalWhileWriting,  // the source a FIFO: `signal` once both temporary files exist
        SignalOnceReplaced,  // `signal` once both files are replaced, while the summary waits on a full pipe
    } during = During::Nothing;
    int signal = 0;
    bool errorToClosedPipe = false;
    int status = 0;
    std::vector<Expected> after;
    std::string err;  // the whole of standard error
};

std::string expanded(std::string text, const std::string& folder) {
    for (std::size_t at = text.find("{d}"); at != std::string::npos; at = text.find("{d}", at + folder.size())) {
        text.replace(at, 3, folder);
    }
    return text;
}

class BatchFaultTable : public BatchSafetyTest {
protected:
    // Why `needs` cannot be met here, or nothing.
    static std::string unmet(unsigned needs) {
#ifdef _WIN32
        if (needs != 0) return "POSIX files, descriptors, signals and limits";
#else
        if ((needs & kRoot) != 0 && ::geteuid() != 0) return "files of another user need root";
#endif
#ifdef LOMITRA_SANITIZE
        if ((needs & kNoSanitizer) != 0) return "AddressSanitizer cannot run under an address-space limit";
#endif
        return {};
    }

    void plant(const std::string& folder, const Planted& p) const {
        const std::string at = folder + "/" + p.name;
        switch (p.kind) {
            case Planted::Kind::File: write(at, p.text); break;
            case Planted::Kind::Folder: std::filesystem::create_directories(nativePath(at)); break;
            case Planted::Kind::HardLink:
                std::filesystem::create_hard_link(nativePath(folder + "/" + p.text), nativePath(at));
                break;
#ifndef _WIN32
            case Planted::Kind::Link: std::filesystem::create_symlink(expanded(p.text, folder), at); break;
            case Planted::Kind::Fifo: ASSERT_EQ(::mkfifo(at.c_str(), 0644), 0); break;
#else
            default: FAIL() << "POSIX only";
#endif
        }
#ifndef _WIN32
        if (p.mode >= 0) {
            ASSERT_EQ(::chmod(at.c_str(), static_cast<mode_t>(p.mode)), 0) << at;
        }
        if (p.owner >= 0 || p.group >= 0) {
            const int group = p.group >= 0 ? p.group : p.owner;
            ASSERT_EQ(::lchown(at.c_str(), static_cast<uid_t>(p.owner), static_cast<gid_t>(group)), 0) << at;
        }
#endif
    }

    // Every name under `folder` that is a temporary file of the program.
    static std::vector<std::string> temporaries(const std::string& folder) {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(nativePath(folder))) {
            const std::string name = utf8Name(entry.path().filename());
            if (name.find(".lomitra-") != std::string::npos) found.push_back(name);
        }
        return found;
    }

    // Waits (at most 20 s) until `done` holds.
    static bool waitFor(const std::function<bool()>& done) {
        for (int i = 0; i < 2000; ++i) {
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    void runRow(const FaultRow& row, const std::string& folder) {
        std::filesystem::create_directories(nativePath(folder));
        std::filesystem::permissions(nativePath(folder), std::filesystem::perms::all);
        write(folder + "/in.txt", kSourceLine + "\r\n");
        for (const Planted& p : row.setup) {
            plant(folder, p);
            if (::testing::Test::HasFatalFailure()) return;
        }
        std::vector<std::string> command{"--direction", "kkj-euref", "--fields", "2,3,1"};
        for (const std::string& a : row.args) command.push_back(expanded(a, folder));
        BatchRunOptions run = row.run;
        run.input = expanded(run.input, folder);
        run.output = expanded(run.output, folder);
        run.workingFolder = expanded(run.workingFolder, folder);
        BatchProcess done;
#ifdef _WIN32
        done = runBatch(command, run);
#else
        // Standard error into a pipe: one whose reader is gone, or one so full
        // that the summary waits in it.
        int pipe[2] = {-1, -1};
        std::size_t filler = 0;
        if (row.errorToClosedPipe || row.during == FaultRow::During::SignalOnceReplaced) {
            ASSERT_EQ(::pipe(pipe), 0);
            if (row.errorToClosedPipe) {
                ::close(pipe[0]);
                pipe[0] = -1;
            } else {
                ::fcntl(pipe[1], F_SETFL, O_NONBLOCK);
                const std::string bytes(4096, 'x');
                for (std::size_t chunk : {bytes.size(), std::size_t{1}}) {
                    for (ssize_t n = 0; (n = ::write(pipe[1], bytes.data(), chunk)) > 0;) filler += static_cast<std::size_t>(n);
                }
                ::fcntl(pipe[1], F_SETFL, 0);
            }
            run.errorDescriptor = pipe[1];
        }
        const std::string source = folder + "/source";
        if (row.during == FaultRow::During::SignalWhileWriting) {
            ASSERT_EQ(::mkfifo(source.c_str(), 0644), 0);
            run.input = source;
        }
        const pid_t child = start(command, run);
        ASSERT_GT(child, 0);
        if (pipe[1] >= 0) ::close(pipe[1]);
        if (row.during == FaultRow::During::SignalWhileWriting) {
            const int fifo = ::open(source.c_str(), O_WRONLY);
            EXPECT_TRUE(waitFor([&] { return temporaries(folder).size() == 2; })) << "both temporary files made";
            ::kill(child, row.signal);
            // An ignored signal leaves the run to finish with its source; a
            // program that ended has no reader left, which must not end the test.
            struct sigaction ignore {}, saved {};
            ignore.sa_handler = SIG_IGN;
            ::sigaction(SIGPIPE, &ignore, &saved);
            [[maybe_unused]] const ssize_t n = ::write(fifo, (kSourceLine + "\r\n").data(), kSourceLine.size() + 2);
            ::sigaction(SIGPIPE, &saved, nullptr);
            ::close(fifo);
        }
        if (row.during == FaultRow::During::SignalOnceReplaced) {
            EXPECT_TRUE(waitFor([&] {
                return read(folder + "/result.txt") == kResultLine + "\r\n" && temporaries(folder).empty();
            })) << "both files replaced";
            ::kill(child, row.signal);
        }
        std::string piped;
        if (pipe[0] >= 0) {
            char buffer[4096];
            for (ssize_t n = 0; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;) piped.append(buffer, static_cast<std::size_t>(n));
            ::close(pipe[0]);
        }
        done = wait(child);
        if (row.during == FaultRow::During::SignalOnceReplaced) done.err = piped.substr(std::min(filler, piped.size()));
        if (row.errorToClosedPipe) done.err = "";
#endif
        EXPECT_EQ(done.exitStatus, row.status) << "signal " << done.signal;
        EXPECT_EQ(done.err, expanded(row.err, folder));
        for (const Expected& e : row.after) {
            const std::string at = folder + "/" + e.name;
            if (e.contents == kAbsent) {
                EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(nativePath(at)))) << e.name;
            } else if (e.contents == kNewTable) {
                EXPECT_NE(read(at).find("P10      6712263.904   3495070.508     6709447.856   494903.060"),
                          std::string::npos)
                    << e.name;
            } else {
                EXPECT_EQ(read(at), e.contents) << e.name;
            }
#ifndef _WIN32
            if (e.mode >= 0) {
                struct stat st {};
                EXPECT_EQ(::stat(at.c_str(), &st), 0) << e.name;
                EXPECT_EQ(st.st_mode & 07777, static_cast<unsigned>(e.mode)) << e.name;
            }
#endif
        }
        EXPECT_EQ(temporaries(folder), std::vector<std::string>{});
    }
};

TEST_F(BatchFaultTable, EveryFaultIsRefusedOrSurvivedAndLeavesNoTemporaryFile) {
    using K = Planted::Kind;
    using During = FaultRow::During;
    constexpr int kOther = 65534;  // nobody: another user than root (a third is daemon, 1)
    const std::string result = kResultLine + "\r\n";
    const std::string summary = "muunnettu 1 pistettä, 0 riviä ei muunnettu\n";
    const std::string nothing = " Mitään ei tulostettu; aiempi tiedosto säilyi ennallaan.\n";
    const std::string notWritable = "lomitra-batch: Tiedostoon ei voitu kirjoittaa: ";
    const std::string foreignLink = "(toisen käyttäjän symbolista linkkiä ei seurata kansiossa, johon kaikki voivat kirjoittaa)";
    const std::string foreignFile = "(toisen käyttäjän tiedostoon ei kirjoiteta kansiossa, johon kaikki voivat kirjoittaa)";
    const std::string badDescriptor = "(tiedostokuvaaja ei ole auki tälle toiminnolle)";
    const Planted sticky{K::Folder, "tmp", "", 01777};
    const Planted oldResult{K::File, "result.txt", "old result\r\n", 0666};
    const Planted oldTable{K::File, "table.txt", "old table\r\n", 0666};
    const std::vector<Expected> oldFiles{{"result.txt", "old result\r\n"}, {"table.txt", "old table\r\n"}};
    const std::vector<std::string> bothFiles{"-o", "{d}/result.txt", "--table", "{d}/table.txt", "{d}/in.txt"};
    const std::vector<std::string> bothFromInput{"-o", "{d}/result.txt", "--table", "{d}/table.txt", "-"};
    const std::string longName(250, 'n');
    const auto with = [](void (*change)(BatchRunOptions&)) {
        BatchRunOptions options;
        change(options);
        return options;
    };

    std::vector<FaultRow> rows = {
        // A link, file or FIFO planted by another user in a sticky folder.
        {"another user's link to a root-only file", kPosix | kRoot,
         {sticky, {K::File, "secret", "root only\n", 0600}, {K::Link, "tmp/x", "{d}/secret", -1, kOther}},
         {"-o", "{d}/tmp/x", "{d}/in.txt"}, {}, During::Nothing, 0, false, 1,
         {{"secret", "root only\n"}}, notWritable + "{d}/tmp/x " + foreignLink + nothing},
        {"a third user's link, the program not root", kPosix | kRoot,
         {sticky, {K::File, "victim", "victim\r\n", 0666}, {K::Link, "tmp/x", "{d}/victim", -1, 1}},
         {"-o", "{d}/tmp/x", "{d}/in.txt"}, with([](BatchRunOptions& r) { r.asRegularUser = true; }),
         During::Nothing, 0, false, 1, {{"victim", "victim\r\n"}}, notWritable + "{d}/tmp/x " + foreignLink + nothing},
        {"another user's dangling link", kPosix | kRoot, {sticky, {K::Link, "tmp/x", "{d}/made", -1, kOther}},
         {"-o", "{d}/tmp/x", "{d}/in.txt"}, {}, During::Nothing, 0, false, 1,
         {{"made", kAbsent}}, notWritable + "{d}/tmp/x " + foreignLink + nothing},
        {"another user's link reached through a link of ours", kPosix | kRoot,
         {sticky, {K::Link, "tmp/x", "{d}/made", -1, kOther}, {K::Link, "mine", "{d}/tmp/x"}},
         {"-o", "{d}/mine", "{d}/in.txt"}, {}, During::Nothing, 0, false, 1, {{"made", kAbsent}},
         notWritable + "{d}/mine (toisen käyttäjän symbolista linkkiä {d}/tmp/x ei seurata kansiossa, johon "
                       "kaikki voivat kirjoittaa)" + nothing},
        {"another user's regular file", kPosix | kRoot, {sticky, {K::File, "tmp/x", "theirs\n", 0666, kOther}},
         {"-o", "{d}/tmp/x", "{d}/in.txt"}, {}, During::Nothing, 0, false, 1, {{"tmp/x", "theirs\n"}},
         notWritable + "{d}/tmp/x " + foreignFile + nothing},
        {"another user's FIFO (would hang)", kPosix | kRoot, {sticky, {K::Fifo, "tmp/p", "", 0666, kOther}},
         {"-o", "{d}/tmp/p", "{d}/in.txt"}, {}, During::Nothing, 0, false, 1, {},
         notWritable + "{d}/tmp/p " + foreignFile + nothing},
        {"a link of the sticky folder's owner is followed", kPosix | kRoot,
         {{K::Folder, "shared", "", 01777, kOther}, {K::Link, "shared/x", "{d}/out.txt", -1, kOther}},
         {"-o", "{d}/shared/x", "{d}/in.txt"}, {}, During::Nothing, 0, false, 0, {{"out.txt", result}}, summary},
        {"a link of our own in a sticky folder is followed", kPosix, {sticky, {K::Link, "tmp/x", "{d}/out.txt"}},
         {"-o", "{d}/tmp/x", "{d}/in.txt"}, {}, During::Nothing, 0, false, 0, {{"out.txt", result}}, summary},

        // Closed standard descriptors and descriptors not open.
        {"standard input closed, source -", kPosix, {{K::File, "keep.txt", "keep\r\n"}},
         {"-o", "{d}/keep.txt", "-"}, with([](BatchRunOptions& r) { r.closed = {0}; }), During::Nothing, 0, false, 1, {{"keep.txt", "keep\r\n"}},
         "lomitra-batch: Lähtötiedostoa ei voitu lukea: vakiosyöte " + badDescriptor + nothing},
        {"standard output closed, result to it", kPosix, {oldTable}, {"--table", "{d}/table.txt", "-"},
         with([](BatchRunOptions& r) { r.input = "{d}/in.txt", r.closed = {1}; }), During::Nothing, 0, false, 1, {{"table.txt", "old table\r\n"}},
         notWritable + "vakiotuloste " + badDescriptor + nothing},
        {"/dev/fd/4 not open", kPosix, {oldResult}, {"-o", "{d}/result.txt", "--table", "/dev/fd/4", "{d}/in.txt"},
         with([](BatchRunOptions& r) { r.closed = {4}; }), During::Nothing, 0, false, 1, {{"result.txt", "old result\r\n"}},
         notWritable + "/dev/fd/4 " + badDescriptor + nothing},
        {"standard output appended to the source", kPosix, {}, {"{d}/in.txt"},
         with([](BatchRunOptions& r) { r.output = "{d}/in.txt", r.appendOutput = true; }), During::Nothing, 0, false, 1, {{"in.txt", kSourceLine + "\r\n"}},
         "lomitra-batch: Tiedostoja ei voi kirjoittaa lähtötiedoston päälle eikä toistensa päälle: {d}/in.txt\n"},

        // Messages that stay true after the first replacement.
        {"the table cannot follow the result", kPosix | kRoot,
         {oldResult, {K::Folder, "locked", "", 01770, -1, kOther}, {K::File, "locked/table.txt", "old table\r\n", 0666}},
         {"-o", "{d}/result.txt", "--table", "{d}/locked/table.txt", "{d}/in.txt"}, with([](BatchRunOptions& r) { r.asRegularUser = true; }),
         During::Nothing, 0, false, 4, {{"result.txt", result}, {"locked/table.txt", "old table\r\n"}},
         notWritable + "{d}/locked/table.txt (ei käyttöoikeutta) Tulostiedosto {d}/result.txt korvattiin; "
                       "muunnostaulu {d}/locked/table.txt säilyi ennallaan.\n"},
        {"SIGTERM once both files are replaced", kPosix, {oldResult, oldTable}, bothFiles, {},
         During::SignalOnceReplaced, SIGTERM, false, 0, {{"result.txt", result}, {"table.txt", kNewTable}}, summary},
        {"standard error a closed pipe", kPosix, {oldResult, oldTable}, bothFiles, {}, During::Nothing, 0, true, 0,
         {{"result.txt", result}, {"table.txt", kNewTable}}, ""},

        // Other exits.
        {"out of memory", kPosix | kNoSanitizer,
         {oldResult, oldTable, {K::File, "in.txt", kSourceLine + " " + std::string(30 << 20, 'x') + "\r\n"}},
         bothFiles, with([](BatchRunOptions& r) { r.addressSpaceLimit = 48L << 20; }), During::Nothing, 0, false, 1, oldFiles,
         "lomitra-batch: Muisti loppui." + nothing},

        // The small ones.
        {"a target name of 250 bytes", 0, {}, {"-o", "{d}/" + longName, "{d}/in.txt"}, {}, During::Nothing, 0, false,
         0, {{longName, result}}, summary},
        {"umask 077", kPosix, {}, {"-o", "{d}/new.txt", "{d}/in.txt"}, with([](BatchRunOptions& r) { r.umask = 077; }), During::Nothing, 0, false, 0,
         {{"new.txt", result, 0600}}, summary},
        {"-- before a source that begins with -", 0, {{K::File, "-pisteet.txt", kSourceLine + "\r\n"}},
         {"-o", "{d}/result.txt", "--", "-pisteet.txt"}, with([](BatchRunOptions& r) { r.workingFolder = "{d}"; }), During::Nothing, 0, false, 0,
         {{"result.txt", result}}, summary},
        {"a target with another hard link", 0, {oldResult, {K::HardLink, "other.txt", "result.txt"}},
         {"-o", "{d}/result.txt", "{d}/in.txt"}, {}, During::Nothing, 0, false, 0,
         {{"result.txt", result}, {"other.txt", "old result\r\n"}},
         "muunnettu 1 pistettä, 0 riviä ei muunnettu\ntiedosto {d}/result.txt korvattiin uudella: sen muut nimet "
         "(kovat linkit) viittaavat yhä vanhaan sisältöön\n"},
    };
#ifndef _WIN32
    // Every signal whose default action ends the process, in the middle of a run.
    std::vector<std::pair<const char*, int>> signals = {
        {"SIGINT", SIGINT},     {"SIGTERM", SIGTERM},     {"SIGHUP", SIGHUP},   {"SIGQUIT", SIGQUIT},
        {"SIGUSR1", SIGUSR1},   {"SIGUSR2", SIGUSR2},     {"SIGALRM", SIGALRM}, {"SIGVTALRM", SIGVTALRM},
        {"SIGPROF", SIGPROF},   {"SIGXCPU", SIGXCPU},     {"SIGPIPE", SIGPIPE}, {"SIGRTMIN", SIGRTMIN}};
    for (const auto& [name, number] : signals) {
        rows.push_back({std::string(name) + " while writing", kPosix, {oldResult, oldTable}, bothFromInput, {},
                        During::SignalWhileWriting, number, false, 128 + number, oldFiles,
                        number == SIGPIPE ? "" : "lomitra-batch: keskeytetty; yhtään tiedostoa ei korvattu\n"});
    }
    // A file size limit is a failed write, not an end: SIGXFSZ is ignored.
    rows.push_back({"SIGXFSZ while writing", kPosix, {oldResult, oldTable}, bothFromInput, {},
                    During::SignalWhileWriting, SIGXFSZ, false, 0, {{"result.txt", result}, {"table.txt", kNewTable}},
                    summary});
#endif
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const FaultRow& row = rows[i];
        if (const std::string why = unmet(row.needs); !why.empty()) {
            std::cout << "[  SKIPPED ROW ] " << row.fault << ": " << why << "\n";
            continue;
        }
        SCOPED_TRACE(row.fault);
        runRow(row, path("row" + std::to_string(i)));
    }
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
