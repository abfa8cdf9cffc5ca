// Durable files on POSIX systems: fsync(2) of each file before it is renamed
// into place.
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

#include "gis/temporary_dataset.h"

namespace lomitra::gis {

bool syncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return synced;
}

}  // namespace lomitra::gis
