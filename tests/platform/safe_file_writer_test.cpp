// The safe file writer: complete files replace the target, failures never do;
// links are followed, read-only targets refused, devices and FIFOs written
// directly (FIFOs and other users' files through lomitra-batch, batch_safety_test);
// temporary files are hidden, named for the program, and removed
// when the process is interrupted.
#include "platform/safe_file_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "platform/wide_text.h"
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/interrupt_cleanup.h"
#include "platform/native_file.h"
#include "tests/support/temp_folder.h"

namespace lomitra {
namespace {

namespace fs = std::filesystem;

class WriterTest : public ::testing::Test {
protected:
    std::string path(const char* name) const { return folder_.file(name); }
    static std::string contents(const std::string& p) { return testing::readBytes(p); }
    static void put(const std::string& p, const std::string& bytes) { testing::writeBytes(p, bytes); }
    std::vector<std::string> namesInDir() const { return folder_.names(); }
    std::size_t filesInDir() const { return namesInDir().size(); }
    // Writes `lines` through a writer of `target` and commits.
    static bool writeFile(const std::string& target, const std::vector<std::string>& lines, std::string* reason = nullptr) {
        SafeFileWriter writer(target);
        bool ok = writer.open();
        for (const std::string& line : lines) writer.writeLine(line);
        ok = writer.commit() && ok;
        if (reason != nullptr) *reason = writer.reason();
        return ok;
    }

    testing::TempFolder folder_{"lomitra-writer-"};
    fs::path dir_ = nativePath(folder_.path());
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
#ifdef _WIN32
    GTEST_SKIP() << "permission bits are POSIX; AReplacedFileKeepsItsAttributes is the Windows counterpart";
#else
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
#endif
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
#ifndef _WIN32
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
#endif

TEST_F(WriterTest, FailedWriteLeavesOldFileUntouched) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no file size limit to stand in for a full disk";
#else
    // A file size limit makes the writes fail midway (as a full disk would);
    // run in a child process so the limit stays there.
    const std::string target = path("out.txt");
    put(target, "old\r\n");
    EXPECT_EXIT(writeBeyondSizeLimit(target), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(contents(target), "old\r\n");
    EXPECT_EQ(filesInDir(), 1u);
#endif
}

// Links: the file a link leads to is replaced (its temporary file beside it,
// in the link target's folder); the link stays a link. A dangling link makes
// the file it names.
TEST_F(WriterTest, LinksAreFollowedAndStayLinks) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need a privilege on Windows";
#else
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
#endif
}

TEST_F(WriterTest, ReadOnlyTargetsAreRefused) {
    const std::string target = path("locked.txt");
    put(target, "old\r\n");
    fs::permissions(nativePath(target), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);  // the read-only attribute on Windows
    std::string reason;
    EXPECT_FALSE(writeFile(target, {"new"}, &reason));
    EXPECT_EQ(reason, "tiedosto on kirjoitussuojattu");
    EXPECT_EQ(contents(target), "old\r\n");
    EXPECT_EQ(filesInDir(), 1u);
}

// Devices are written as they are, never replaced: /dev/null takes
// everything, /dev/full fails at the first write with nothing delivered.
TEST_F(WriterTest, DevicesAreWrittenDirectly) {
#ifdef _WIN32
    GTEST_SKIP() << "/dev/null and /dev/full are POSIX devices; TheNullDeviceIsWrittenDirectly is the Windows counterpart";
#else
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
#endif
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
    fs::create_hard_link(dir_ / "exists.txt", dir_ / "hard.txt");
    const std::string d = folder_.path();
    struct Case {
        std::string a, b;
        bool same;
    };
    std::vector<Case> cases = {
        {d + "/new.txt", d + "/./new.txt", true},
        {d + "/new.txt", d + "/sub/../new.txt", true},
        {d + "/exists.txt", d + "/hard.txt", true},
        {d + "/exists.txt", d + "/sub/../exists.txt", true},
        {d + "/new.txt", d + "/other.txt", false},
        {d + "/new.txt", d + "/sub/new.txt", false},
        {d + "/exists.txt", d + "/new.txt", false},
        {"-", d + "/new.txt", false},
        {"", "", false},
    };
#ifdef _WIN32
    cases.push_back({d + "\\new.txt", d + "/NEW.txt", true});  // names ignore case
    cases.push_back({d + "\\exists.txt", d + "/EXISTS.TXT", true});
    cases.push_back({d + "\\sub\\..\\new.txt", d + "/new.txt", true});
    cases.push_back({"NUL", "nul", true});
#else
    fs::create_symlink(dir_ / "exists.txt", dir_ / "link-to-existing");
    fs::create_symlink(dir_ / "new.txt", dir_ / "link-to-new");
    cases.push_back({d + "/new.txt", d + "//new.txt", true});
    cases.push_back({d + "/new.txt", d + "/link-to-new", true});
    cases.push_back({d + "/exists.txt", d + "/link-to-existing", true});
    cases.push_back({d + "/New.txt", d + "/new.txt", false});  // names are case-sensitive here
    cases.push_back({"-", "/dev/stdout", true});
    cases.push_back({"-", "/dev/fd/1", true});
    cases.push_back({"/dev/null", "/dev/null", true});
#endif
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
#ifndef _WIN32
[[noreturn]] void interruptedWhileWriting(const std::string& target) {
    installInterruptCleanup(nullptr);
    SafeFileWriter writer(target);
    if (!writer.open()) std::_Exit(3);
    for (int i = 0; i < 100000; ++i) writer.writeLine("half a file");
    std::raise(SIGTERM);
    std::_Exit(4);
}
#endif

TEST_F(WriterTest, AnInterruptRemovesTheTemporaryFile) {
#ifdef _WIN32
    GTEST_SKIP() << "POSIX signals; a console event cannot be raised in a test";
#else
    const std::string target = path("out.txt");
    put(target, "old\r\n");
    EXPECT_EXIT(interruptedWhileWriting(target), ::testing::ExitedWithCode(128 + SIGTERM), "");
    EXPECT_EQ(contents(target), "old\r\n");
    EXPECT_EQ(namesInDir(), std::vector<std::string>{"out.txt"});
#endif
}

#ifdef _WIN32

// ReplaceFileW carries the old file's attributes over; a new file is not hidden
// like its temporary file was.
TEST_F(WriterTest, AReplacedFileKeepsItsAttributes) {
    const std::string target = path("out.txt");
    put(target, "old\r\n");
    const std::wstring wide = widen(target);
    ASSERT_NE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE), 0);
    ASSERT_TRUE(writeFile(target, {"new"}));
    EXPECT_EQ(contents(target), "new\r\n");
    EXPECT_NE(::GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);

    const std::string fresh = path("fresh.txt");
    ASSERT_TRUE(writeFile(fresh, {"new"}));
    EXPECT_EQ(::GetFileAttributesW(widen(fresh).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(filesInDir(), 2u);
}

TEST_F(WriterTest, TheNullDeviceIsWrittenDirectly) {
    SafeFileWriter writer("NUL");
    ASSERT_TRUE(writer.open());
    EXPECT_TRUE(writer.isDirect());
    for (int i = 0; i < 1000; ++i) writer.writeLine("discarded line");
    EXPECT_TRUE(writer.commit()) << writer.reason();
    EXPECT_EQ(writer.bytesDelivered(), 1000u * 16);
    EXPECT_EQ(filesInDir(), 0u);
}

// A target that another program holds open without sharing its deletion: the
// replacement is retried for a moment, then reported as in use; the old file stays.
TEST_F(WriterTest, ATargetHeldOpenIsInUse) {
    const std::string target = path("out.txt");
    put(target, "old\r\n");
    const HANDLE held = ::CreateFileW(widen(target).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::string reason;
    EXPECT_FALSE(writeFile(target, {"new"}, &reason));
    ::CloseHandle(held);
    EXPECT_EQ(reason, "tiedosto on toisen ohjelman käytössä");
    EXPECT_EQ(contents(target), "old\r\n");
    EXPECT_EQ(namesInDir(), std::vector<std::string>{"out.txt"});
}

#endif

}  // namespace
}  // namespace lomitra
