// Every reason a file action can fail with, as open, read, write, fsync,
// close, rename, linkat and fchown give it, reads in Finnish: none falls back
// to the system's own (English) description.
#include "platform/system_error_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace lomitra {
namespace {

TEST(SystemErrorText, EveryFileErrorHasAFinnishText) {
    const int reasons[] = {
        EACCES, EAGAIN, EBADF, EBUSY, EDEADLK, EDESTADDRREQ, EEXIST, EFAULT, EFBIG, EINTR, EINVAL, EIO, EISDIR,
        ELOOP, EMFILE, EMLINK, ENAMETOOLONG, ENFILE, ENODEV, ENOENT, ENOLCK, ENOMEM, ENOSPC, ENOTDIR, ENOTEMPTY,
        ENOTSUP, ENXIO, EOPNOTSUPP, EOVERFLOW, EPERM, EPIPE, EROFS, ETIMEDOUT, ETXTBSY, EWOULDBLOCK, EXDEV,
        ECONNRESET,
#ifdef EDQUOT
        EDQUOT,
#endif
#ifdef ESTALE
        ESTALE,
#endif
    };
    for (const int reason : reasons) {
        const std::string text = systemErrorText(reason);
        EXPECT_FALSE(text.empty()) << reason;
        EXPECT_NE(text, std::strerror(reason)) << "the system's own text for errno " << reason;
    }
}

}  // namespace
}  // namespace lomitra
