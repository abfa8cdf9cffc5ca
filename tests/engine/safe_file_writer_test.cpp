// The safe file writer: complete files replace the target, failures never do;
// links are followed, read-only targets refused, devices and FIFOs written
// directly; temporary files are hidden, named for the program, and removed
// when the process is interrupted.
#include "engine/safe_file_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/interrupt_cleanup.h"

namespace lomitra {
namespace {

namespace fs = std::filesystem;

class WriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("lomitra_writer_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const char* name) const { return (dir_ / name).string(); }
    static std::string contents(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void put(const std::string& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    std::size_t filesInDir() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }
    std::vector<std::string> namesInDir() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Writes `lines` through a writer of `target` and commits.
    static bool writeFile(const std::string& target, const std::vector<std::string>& lines, std::string* reason = nullptr) {
        SafeFileWriter writer(target);
        bool ok = writer.open();
        for (const std::string& line : lines) writer.writeLine(line);
        ok = writer.commit() && ok;
        if (reason != nullptr) *reason = writer.reason();
        return ok;
    }

    fs::path dir_;
};

TEST_F(WriterTest, CommitWritesLinesWithCrLf) {
    const std::string target = path("out.txt");
    {
        SafeFileWriter writer(target);
        ASSERT_TRUE(writer.open());
        writer.writeLine("eka \xE4");
        writer.writeLine("");
        writer.writeLine(std::string_view("n\0ul", 4));
        EXPECT_FALSE(fs::exists(target)) << "the target appears only at commit";
        ASSERT_TRUE(writer.commit()) << writer.reason();
        EXPECT_TRUE(writer.reason().empty());
    }
    EXPECT_EQ(contents(target), std::string("eka \xE4\r\n\r\nn\0ul\r\n", 15));
    EXPECT_EQ(filesInDir(), 1u) << "no temporary file left";
}

TEST_F(WriterTest, CommitReplacesOldFileAndKeepsItsPermissions) {
    const std::string target = path("out.txt");
    put(target, "old contents that are longer than the new ones\r\n");
    ::chmod(target.c_str(), 0640);
    SafeFileWriter writer(target);
    ASSERT_TRUE(writer.open());
    writer.writeLine("new");
    ASSERT_TRUE(writer.commit());
    EXPECT_EQ(contents(target), "new\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(WriterTest, WithoutCommitTheOldFileStaysAndTheTemporaryGoes) {
    const std::string target = path("out.txt");
    put(target, "old\r\n");
    {
        SafeFileWriter writer(target);
        ASSERT_TRUE(writer.open());
        writer.writeLine("half");
        const std::vector<std::string> names = namesInDir();
        ASSERT_EQ(names.size(), 2u) << "the temporary file lies beside the target";
        // Hidden, and named for the target and the program.
        EXPECT_EQ(names[0].rfind(".out.txt.lomitra-", 0), 0u) << names[0];
        EXPECT_EQ(names[0].size(), std::string(".out.txt.lomitra-XXXXXX").size());
    }
    EXPECT_EQ(contents(target), "old\r\n");
    EXPECT_EQ(filesInDir(), 1u);
}

TEST_F(WriterTest, TwoWritersOfOneTargetUseDifferentTemporaries) {
    const std::string target = path("out.txt");
    SafeFileWriter a(target);
    SafeFileWriter b(target);
    ASSERT_TRUE(a.open());
    ASSERT_TRUE(b.open());
    a.writeLine("a");
    b.writeLine("b");
    ASSERT_TRUE(a.commit());
    EXPECT_EQ(contents(target), "a\r\n");
    ASSERT_TRUE(b.commit());
    EXPECT_EQ(contents(target), "b\r\n");
    EXPECT_EQ(filesInDir(), 1u);
}

TEST_F(WriterTest, OpenFailsInMissingFolder) {
    SafeFileWriter writer(path("no-such-folder/out.txt"));
    EXPECT_FALSE(writer.open());
    EXPECT_FALSE(writer.reason().empty());
    writer.writeLine("x");
    EXPECT_FALSE(writer.commit());
}

TEST_F(WriterTest, AFolderIsRefusedAtOpen) {
    const std::string target = path("sub");
    fs::create_directories(target + "/inner");
    SafeFileWriter writer(target);
    EXPECT_FALSE(writer.open());
    EXPECT_EQ(writer.reason(), "se on kansio");
    writer.writeLine("x");
    EXPECT_FALSE(writer.commit());
    EXPECT_TRUE(fs::is_directory(target + "/inner"));
    EXPECT_EQ(filesInDir(), 1u);
}

// Child process body: writes 4 MB under a 100 kB file size limit; exits 0
// when commit() reported the failure with a reason.
[[noreturn]] void writeBeyondSizeLimit(const std::string& target) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    limit.rlim_cur = 100000;
    limit.rlim_max = 100000;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const std::string big(4096, 'x');
    SafeFileWriter writer(target);
    if (!writer.open()) std::_Exit(3);
    for (int i = 0; i < 1000; ++i) writer.writeLine(big);
    const bool ok = writer.commit();
    std::_Exit(ok ? 4 : (writer.reason().empty() ? 5 : 0));
}

TEST_F(WriterTest, FailedWriteLeavesOldFileUntouched) {
    // A file size limit makes the writes fail midway (as a full disk would);
    // run in a child process so the limit stays there.
    const std::string target = path("out.txt");
    put(target, "old\r\n");
    EXPECT_EXIT(writeBeyondSizeLimit(target), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(contents(target), "old\r\n");
    EXPECT_EQ(filesInDir(), 1u);
}

// Links: the file a link leads to is replaced (its temporary file beside it,
// in the link target's folder); the link stays a link. A dangling link makes
// the file it names.
TEST_F(WriterTest, LinksAreFollowedAndStayLinks) {
    fs::create_directories(dir_ / "data" / "deep");
    put(path("data/deep/real.txt"), "old\r\n");
    fs::create_symlink("data/deep/real.txt", dir_ / "relative-link");
    fs::create_symlink(dir_ / "relative-link", dir_ / "link-to-link");
    fs::create_symlink("../absent.txt", dir_ / "data" / "dangling");
    struct Case {
        const char* link;
        const char* file;
    };
    for (const Case c : {Case{"relative-link", "data/deep/real.txt"}, Case{"link-to-link", "data/deep/real.txt"},
                         Case{"data/dangling", "absent.txt"}}) {
        SCOPED_TRACE(c.link);
        ASSERT_TRUE(writeFile(path(c.link), {c.link}));
        EXPECT_TRUE(fs::is_symlink(path(c.link)));
        EXPECT_EQ(contents(path(c.file)), std::string(c.link) + "\r\n");
    }
    EXPECT_EQ(namesInDir(), (std::vector<std::string>{"absent.txt", "data", "link-to-link", "relative-link"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "data" / "deep"), fs::directory_iterator()), 1);

    fs::create_symlink("loop-b", dir_ / "loop-a");
    fs::create_symlink("loop-a", dir_ / "loop-b");
    std::string reason;
    EXPECT_FALSE(writeFile(path("loop-a"), {"x"}, &reason));
    EXPECT_EQ(reason, "liian monta symbolista linkkiä peräkkäin");
}

TEST_F(WriterTest, ReadOnlyTargetsAreRefused) {
    const std::string target = path("locked.txt");
    put(target, "old\r\n");
    ::chmod(target.c_str(), 0444);
    std::string reason;
    EXPECT_FALSE(writeFile(target, {"new"}, &reason));
    EXPECT_EQ(reason, "tiedosto on kirjoitussuojattu");
    EXPECT_EQ(contents(target), "old\r\n");
    EXPECT_EQ(filesInDir(), 1u);
}

// Root may set the owner of the new file: another user's file stays theirs.
TEST_F(WriterTest, AReplacedFileKeepsItsOwnerAndGroup) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can make a file that belongs to another user";
    const std::string target = path("theirs.txt");
    put(target, "old\r\n");
    ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(writeFile(target, {"new"}));
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(contents(target), "new\r\n");
}

// Devices are written as they are, never replaced: /dev/null takes
// everything, /dev/full fails at the first write with nothing delivered.
TEST_F(WriterTest, DevicesAreWrittenDirectly) {
    {
        SafeFileWriter writer("/dev/null");
        ASSERT_TRUE(writer.open());
        EXPECT_TRUE(writer.isDirect());
        for (int i = 0; i < 100000; ++i) writer.writeLine("discarded line");
        EXPECT_TRUE(writer.commit()) << writer.reason();
        EXPECT_EQ(writer.bytesDelivered(), 100000u * 16);
    }
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    SafeFileWriter full("/dev/full");
    ASSERT_TRUE(full.open());
    full.writeLine("x");
    EXPECT_FALSE(full.commit());
    EXPECT_EQ(full.reason(), "levy on täynnä");
    EXPECT_EQ(full.bytesDelivered(), 0u);
    EXPECT_EQ(failureOutcomeText(full.bytesDelivered()), "Mitään ei tulostettu; aiempi tiedosto säilyi ennallaan.");
    EXPECT_EQ(failureOutcomeText(123), "Tuloste jäi kesken: 123 tavua ehdittiin kirjoittaa ennen virhettä.");
}

TEST_F(WriterTest, AFifoStaysAFifo) {
    const std::string fifo = path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = contents(fifo); });
    EXPECT_TRUE(writeFile(fifo, {"through", "the pipe"}));
    reader.join();
    EXPECT_EQ(received, "through\r\nthe pipe\r\n");
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(filesInDir(), 1u);
}

// Both halves complete before either replaces its old file.
TEST_F(WriterTest, FinishBeforeCommit) {
    const std::string target = path("out.txt");
    put(target, "old\r\n");
    SafeFileWriter writer(target);
    ASSERT_TRUE(writer.open());
    writer.writeLine("new");
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(contents(target), "old\r\n") << "finished, not yet committed";
    ASSERT_TRUE(writer.commit());
    EXPECT_EQ(contents(target), "new\r\n");

    // A line after finish() would be lost: the writer fails instead, and nothing is replaced.
    SafeFileWriter late(target);
    ASSERT_TRUE(late.open());
    ASSERT_TRUE(late.finish());
    late.writeLine("late");
    EXPECT_FALSE(late.commit());
    EXPECT_EQ(contents(target), "new\r\n");
    EXPECT_EQ(filesInDir(), 1u);
}

TEST_F(WriterTest, SameOutputFileInAnySpelling) {
    put(path("exists.txt"), "x");
    fs::create_directories(dir_ / "sub");
    fs::create_symlink(dir_ / "exists.txt", dir_ / "link-to-existing");
    fs::create_symlink(dir_ / "new.txt", dir_ / "link-to-new");
    ASSERT_EQ(::link(path("exists.txt").c_str(), path("hard.txt").c_str()), 0);
    const std::string d = dir_.string();
    struct Case {
        std::string a, b;
        bool same;
    };
    const std::vector<Case> cases = {
        {d + "/new.txt", d + "/./new.txt", true},
        {d + "/new.txt", d + "/sub/../new.txt", true},
        {d + "/new.txt", d + "//new.txt", true},
        {d + "/new.txt", d + "/link-to-new", true},
        {d + "/exists.txt", d + "/link-to-existing", true},
        {d + "/exists.txt", d + "/hard.txt", true},
        {d + "/exists.txt", d + "/sub/../exists.txt", true},
        {"-", "/dev/stdout", true},
        {"-", "/dev/fd/1", true},
        {"/dev/null", "/dev/null", true},
        {d + "/new.txt", d + "/other.txt", false},
        {d + "/new.txt", d + "/sub/new.txt", false},
        {d + "/exists.txt", d + "/new.txt", false},
        {"-", d + "/new.txt", false},
        {"", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sameOutputFile(c.a, c.b), c.same) << c.a << " | " << c.b;
        EXPECT_EQ(sameOutputFile(c.b, c.a), c.same) << c.b << " | " << c.a;
    }
    // A relative name against the working folder.
    const fs::path cwd = fs::current_path();
    fs::current_path(dir_);
    EXPECT_TRUE(sameOutputFile("new.txt", d + "/new.txt"));
    EXPECT_TRUE(sameOutputFile("new.txt", "./new.txt"));
    fs::current_path(cwd);
}

// Child process body: a writer with half a file when SIGTERM arrives.
[[noreturn]] void interruptedWhileWriting(const std::string& target) {
    installInterruptCleanup(nullptr);
    SafeFileWriter writer(target);
    if (!writer.open()) std::_Exit(3);
    for (int i = 0; i < 100000; ++i) writer.writeLine("half a file");
    std::raise(SIGTERM);
    std::_Exit(4);
}

TEST_F(WriterTest, AnInterruptRemovesTheTemporaryFile) {
    const std::string target = path("out.txt");
    put(target, "old\r\n");
    EXPECT_EXIT(interruptedWhileWriting(target), ::testing::ExitedWithCode(128 + SIGTERM), "");
    EXPECT_EQ(contents(target), "old\r\n");
    EXPECT_EQ(namesInDir(), std::vector<std::string>{"out.txt"});
}

}  // namespace
}  // namespace lomitra
