// The safe file writer: complete files replace the target, failures never do;
// links are followed, read-only targets refused, devices and FIFOs written
// directly; temporary files are hidden, named for the program, and removed
// when the process is interrupted.
#include "engine/safe_file_writer.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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
        EXPECT_EQ(filesInDir(), 2u) << "the temporary file lies beside the target";
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

}  // namespace
}  // namespace lomitra
