// Shared helpers of the lomitra-batch tests: a fresh folder per test, whole
// files read and written as bytes, and the program run as a child process.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lomitra::testing {

// How a child process of lomitra-batch ran.
struct BatchProcess {
    int exitStatus = -1;   // -1 when it did not exit normally
    int signal = 0;        // the signal that ended it, if any
    long maxRssKiB = 0;    // its peak resident memory
    std::string err;       // what it wrote to standard error
};

struct BatchRunOptions {
    std::string input;             // file for standard input; empty: /dev/null
    std::string output;            // file for standard output; empty: /dev/null
    bool asRegularUser = false;    // when run by root: as user and group 65534 (nobody)
    long fileSizeLimit = -1;       // RLIMIT_FSIZE in bytes; -1 none
};

class BatchFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("lomitra_batch_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        ::chmod(dir_.c_str(), 0777);  // a regular user may write here too
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string read(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void write(const std::string& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    std::vector<std::string> namesInDir() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::size_t filesInDir() const { return namesInDir().size(); }

    // Starts lomitra-batch with `args` (no shell); returns the child's pid, or -1.
    // Standard error goes to the file "stderr" of the folder.
    pid_t start(const std::vector<std::string>& args, const BatchRunOptions& options = {}) const {
        std::vector<std::string> all{LOMITRA_BATCH_EXE};
        all.insert(all.end(), args.begin(), args.end());
        const std::string errPath = path("stderr");
        const pid_t pid = ::fork();
        if (pid != 0) return pid;
        // Child: only async-signal-safe work from here on.
        auto redirect = [](const std::string& file, int flags, int fd) {
            const int opened = ::open(file.c_str(), flags, 0666);
            if (opened < 0 || ::dup2(opened, fd) < 0) ::_exit(120);
            ::close(opened);
        };
        redirect(options.input.empty() ? "/dev/null" : options.input, O_RDONLY, 0);
        redirect(options.output.empty() ? "/dev/null" : options.output, O_WRONLY | O_CREAT | O_TRUNC, 1);
        redirect(errPath, O_WRONLY | O_CREAT | O_TRUNC, 2);
        if (options.fileSizeLimit >= 0) {
            const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit), static_cast<rlim_t>(options.fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (options.asRegularUser && ::geteuid() == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(121);
        }
        std::vector<char*> argv;
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(122);
    }

    // Waits for a child started by start().
    BatchProcess wait(pid_t pid) const {
        BatchProcess result;
        int status = 0;
        rusage usage{};
        if (::wait4(pid, &status, 0, &usage) == pid) {
            if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
            if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
            result.maxRssKiB = usage.ru_maxrss;
        }
        result.err = read(path("stderr"));
        return result;
    }

    BatchProcess runBatch(const std::vector<std::string>& args, const BatchRunOptions& options = {}) const {
        return wait(start(args, options));
    }

    std::filesystem::path dir_;
};

}  // namespace lomitra::testing
