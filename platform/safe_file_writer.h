// Writes a result or table file so that a failure never leaves a half file
// and never destroys the old one.
//
// A regular file (or a name that does not exist yet) is written into a hidden
// temporary file beside it, ".NAME.lomitra-XXXXXX" (NAME shortened where the
// whole would pass the system's limit for a name), which replaces the target
// in one step only when everything was written. A symbolic link is followed:
// the file it leads to is replaced and the link stays a link. A read-only
// target is refused. A replaced file keeps its permissions and, where the
// process may set them, its owner and group; a new file gets the permissions
// the process's umask leaves.
//
// In a folder that everyone may write and that has the sticky bit (/tmp), the
// kernel's own protections are applied by the writer itself, whatever the
// system's settings (POSIX systems): a symbolic link there is followed only
// when it belongs to the running user or to the folder's owner, and an
// existing regular file or FIFO of someone else is not written. Either is
// refused before anything is created.
//
// Anything else (standard output "-", its aliases /dev/stdout and /dev/fd/N,
// character and block devices such as /dev/null, FIFOs) is written directly
// and never replaced: what reached it cannot be taken back, and
// bytesDelivered() tells how much that is.
//
// Reasons of failures are Finnish texts (UTF-8).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lomitra {

class SafeFileWriter {
public:
    // path "-" writes standard output.
    explicit SafeFileWriter(std::string path);
    ~SafeFileWriter();  // discards the temporary file unless commit() succeeded
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Checks the target and creates the temporary file (or opens the target
    // itself when it is written directly). False with a reason on failure.
    bool open();
    // Writes `line` followed by CR LF.
    void writeLine(std::string_view line);
    // Writes out everything and closes the temporary file, without replacing
    // the target yet, so that two files can be completed before either
    // replaces its old one. False (temporary file removed) on any error since open().
    bool finish();
    // finish(), then moves the temporary file over the target. False (and the
    // target untouched) on any error.
    bool commit();

    // What the target has received so far.
    enum class Outcome {
        Untouched,      // nothing reached it (a replaced file's old contents stand)
        Replaced,       // commit() put the new file in its place
        WrittenInFull,  // written directly, every byte
        WrittenInPart,  // written directly, bytesDelivered() bytes before a failure
    };
    Outcome outcome() const;
    // Whether the target existed when it was opened.
    bool existed() const { return existed_; }
    // Whether the replaced file had other names (hard links) when it was
    // opened: they keep the old contents.
    bool hadOtherNames() const { return otherNames_; }

    // Why the writer failed, e.g. "levy on täynnä".
    const std::string& reason() const { return reason_; }
    // Written straight to the target (standard output, a device, a FIFO).
    bool isDirect() const { return direct_; }
    // Bytes that reached a directly written target.
    uint64_t bytesDelivered() const { return delivered_; }

private:
    void fail(std::string reason);
    void failErrno(int errorNumber);
    bool flushBuffer();
    bool writeAll(const char* data, std::size_t size);
    void discardTemporary();

    // ---- The system's side: safe_file_writer_posix.cpp, safe_file_writer_windows.cpp ----
    // Follows path_ to its target, checks it, and opens either the target
    // itself (direct_) or a new temporary file beside it (temporary_, already
    // registered for removal on an interrupt): sets handle_ and ownsHandle_.
    // False after fail().
    bool openTarget();
    // Writes up to `size` bytes; how many were written, or -1 after fail().
    int64_t writeSome(const char* data, std::size_t size);
    // Makes a temporary file durable (when `sync`), then closes the handle if
    // one is open. False after fail().
    bool syncAndClose(bool sync);
    // Moves the closed temporary file over target_. False after fail().
    bool replaceTarget();
    // Deletes the temporary file, open or closed.
    void deleteTemporary();
    // Lets go of folder_.
    void closeFolder();

    std::string path_;
    std::string target_;     // the file replaced at commit (links followed): POSIX its name in folder_
    std::string temporary_;  // the temporary file while it exists: POSIX its name in folder_
    intptr_t folder_ = -1;   // POSIX: a descriptor of the target's folder, held open; Windows: unused
    intptr_t handle_ = -1;   // a file descriptor, or a Windows HANDLE
    bool ownsHandle_ = false;
    bool direct_ = false;
    bool existed_ = false;
    bool otherNames_ = false;
    bool finished_ = false;
    bool committed_ = false;
    bool failed_ = false;
    std::string reason_;
    uint64_t delivered_ = 0;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
};

// The sentence that ends the message of a failed run: "Mitään ei
// tulostettu; aiempi tiedosto säilyi ennallaan." or, when `bytesDelivered`
// bytes of a directly written output already went out, "Tuloste jäi kesken:
// N tavua ehdittiin kirjoittaa ennen virhettä." (UTF-8).
std::string failureOutcomeText(uint64_t bytesDelivered);

// The hidden temporary name for the target named `targetName` (its last
// part): ".NAME.lomitra-" and six letters or digits drawn from `state`, NAME
// shortened (at a UTF-8 character boundary) so that the whole takes at most
// `maxBytes` bytes.
std::string temporaryNameFor(const std::string& targetName, std::size_t maxBytes, uint64_t& state);

// Whether two output names lead to one file, in any spelling: "-" and the
// aliases of standard output, relative names, "./" and "..", symbolic links,
// hard links; existing or not.
bool sameOutputFile(const std::string& a, const std::string& b);

// What identifies an output for sameOutputFile: the device (volume) and the
// file number of an existing file, else the full normal name it would get.
// Each system has its own (safe_file_writer_posix.cpp, _windows.cpp).
struct OutputIdentity {
    bool exists = false;
    bool regular = false;  // an existing regular file
    uint64_t device = 0;
    uint64_t file = 0;
    std::string name;
};
OutputIdentity identifyOutput(const std::string& path);
// The same for a source: "-" and /dev/stdin are standard input.
OutputIdentity identifySource(const std::string& path);

}  // namespace lomitra
