// lomitra-batch's start on Windows: the arguments are read from the wide
// command line (every character, whatever the code page), and the standard
// streams are switched to binary mode, so that the bytes equal the POSIX build's.
#include <windows.h>

#include <shellapi.h>

#include "batch/process_start.h"
#include "core/texts.h"
#include "platform/interrupt_cleanup.h"
#include "platform/native_file.h"
#include "platform/wide_text.h"

namespace lomitra {

ProcessStart startProcess(int argc, char** argv) {
    useBinaryStandardStreams();
    installInterruptCleanup(texts::kBatchInterrupted.data());
    ProcessStart start;
    int count = 0;
    LPWSTR* words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (words == nullptr) {
        start.args.assign(argv + 1, argv + argc);
        return start;
    }
    for (int i = 1; i < count; ++i) start.args.push_back(narrow(words[i]));
    ::LocalFree(words);
    return start;
}

}  // namespace lomitra
