// Shared helpers of the lomitra-batch tests: a fresh folder per test, whole
// files read and written as bytes, and the program run as a child process
// without a shell, with its standard streams from and to files.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
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
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "platform/native_file.h"
#include "tests/support/temp_folder.h"

namespace lomitra::testing {

// How a child process of lomitra-batch ran.
struct BatchProcess {
    int exitStatus = -1;   // -1 when it did not exit normally
    int signal = 0;        // the signal that ended it, if any
    long maxRssKiB = 0;    // its peak resident memory (POSIX systems)
    std::string err;       // what it wrote to standard error
};

struct BatchRunOptions {
    std::string input;             // file for standard input; empty: none (the null device)
    std::string output;            // file for standard output; empty: none
    std::string workingFolder;     // the child's current folder; empty: the test's
    bool asRegularUser = false;    // POSIX, when run by root: as user and group 65534 (nobody)
    long fileSizeLimit = -1;       // POSIX: RLIMIT_FSIZE in bytes; -1 none
    long processLimit = -1;        // POSIX: RLIMIT_NPROC (the user's processes and threads); -1 none
    long addressSpaceLimit = -1;   // POSIX: RLIMIT_AS in bytes; -1 none
    int umask = -1;                // POSIX: the child's umask; -1 the test's
    bool appendOutput = false;     // POSIX: standard output appended to `output`, not truncated
    int errorDescriptor = -1;      // POSIX: standard error this descriptor (a pipe) instead of the file "stderr"
    std::vector<int> closed;       // POSIX: descriptors closed when the program starts
};

#ifdef _WIN32
using ChildProcess = HANDLE;
#else
using ChildProcess = pid_t;
#endif

class BatchFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = nativePath(folder_.path());
        std::filesystem::permissions(dir_, std::filesystem::perms::all);  // a regular user may write here too
    }

    std::string path(const std::string& name) const { return folder_.file(name); }
    static std::string read(const std::string& p) { return readBytes(p); }
    static void write(const std::string& p, const std::string& bytes) { writeBytes(p, bytes); }
    std::vector<std::string> namesInDir() const { return folder_.names(); }
    std::size_t filesInDir() const { return namesInDir().size(); }

    // Starts lomitra-batch with `args`; standard error goes to the file
    // "stderr" of the folder.
    ChildProcess start(const std::vector<std::string>& args, const BatchRunOptions& options = {}) const;
    // Waits for a child started by start().
    BatchProcess wait(ChildProcess child) const;

    BatchProcess runBatch(const std::vector<std::string>& args, const BatchRunOptions& options = {}) const {
        return wait(start(args, options));
    }

    TempFolder folder_{"lomitra-batch-"};
    std::filesystem::path dir_;
};

#ifdef _WIN32

// A command-line word quoted so that CommandLineToArgvW gives it back as it is.
inline std::wstring quotedWord(const std::wstring& word) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(2 * backslashes, L'\\');
    out.push_back(L'"');
    return out;
}

// lomitra-batch.exe, beside the test program.
inline std::wstring batchExecutable() {
    std::wstring self(MAX_PATH, L'\0');
    const DWORD n = ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    self.resize(n);
    return self.substr(0, self.find_last_of(L"\\/") + 1) + widen(LOMITRA_BATCH_EXE);
}

inline HANDLE BatchFolderTest::start(const std::vector<std::string>& args, const BatchRunOptions& options) const {
    const std::wstring program = batchExecutable();
    std::wstring command = quotedWord(program);
    for (const std::string& a : args) command += L" " + quotedWord(widen(a));
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    auto open = [&](const std::string& file, bool forWriting) {
        const std::wstring name = file.empty() ? std::wstring(L"NUL") : widen(file);
        return ::CreateFileW(name.c_str(), forWriting ? GENERIC_WRITE : GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                             forWriting ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = open(options.input, false);
    startup.hStdOutput = open(options.output, true);
    startup.hStdError = open(path("stderr"), true);
    PROCESS_INFORMATION process{};
    const std::wstring folder = widen(options.workingFolder);
    const bool started = ::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          folder.empty() ? nullptr : folder.c_str(), &startup, &process) != 0;
    for (HANDLE h : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) ::CloseHandle(h);
    if (!started) {
        ADD_FAILURE() << "lomitra-batch could not be started";
        return nullptr;
    }
    ::CloseHandle(process.hThread);
    return process.hProcess;
}

inline BatchProcess BatchFolderTest::wait(HANDLE child) const {
    BatchProcess result;
    if (child != nullptr) {
        ::WaitForSingleObject(child, INFINITE);
        DWORD code = 0;
        if (::GetExitCodeProcess(child, &code) != 0) result.exitStatus = static_cast<int>(code);
        ::CloseHandle(child);
    }
    result.err = read(path("stderr"));
    return result;
}

#else

inline pid_t BatchFolderTest::start(const std::vector<std::string>& args, const BatchRunOptions& options) const {
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
    redirect(options.output.empty() ? "/dev/null" : options.output,
             O_WRONLY | O_CREAT | (options.appendOutput ? O_APPEND : O_TRUNC), 1);
    if (options.errorDescriptor >= 0) {
        if (::dup2(options.errorDescriptor, 2) < 0) ::_exit(120);
    } else {
        redirect(errPath, O_WRONLY | O_CREAT | O_TRUNC, 2);
    }
    if (!options.workingFolder.empty() && ::chdir(options.workingFolder.c_str()) != 0) ::_exit(123);
    if (options.umask >= 0) ::umask(static_cast<mode_t>(options.umask));
    if (options.addressSpaceLimit >= 0) {
        const rlimit limit{static_cast<rlim_t>(options.addressSpaceLimit), static_cast<rlim_t>(options.addressSpaceLimit)};
        ::setrlimit(RLIMIT_AS, &limit);
    }
    if (options.fileSizeLimit >= 0) {
        const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit), static_cast<rlim_t>(options.fileSizeLimit)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (options.processLimit >= 0) {
        const rlimit limit{static_cast<rlim_t>(options.processLimit), static_cast<rlim_t>(options.processLimit)};
        ::setrlimit(RLIMIT_NPROC, &limit);
    }
    if (options.asRegularUser && ::geteuid() == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(121);
    }
    for (const int fd : options.closed) ::close(fd);
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(122);
}

inline BatchProcess BatchFolderTest::wait(pid_t pid) const {
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

#endif

}  // namespace lomitra::testing
