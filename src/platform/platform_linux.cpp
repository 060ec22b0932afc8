// Linux: the library finds itself with dladdr and reads its settings file with plain reads
// into memory the caller owns. Nothing is mapped: a file that another process truncates while
// it is read just reads short.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform.h"

static_assert(vantor::platform::kPathCapacity >= PATH_MAX);

namespace vantor::platform {

bool libraryPath(char* buffer, size_t size) {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&libraryPath), &info) == 0 ||
        info.dli_fname == nullptr) {
        return false;
    }
    // A host that loaded the library by a relative path may change its working folder before
    // Initialize: the settings file is found from the absolute path.
    char absolute[PATH_MAX];
    const char* path = ::realpath(info.dli_fname, absolute) ? absolute : info.dli_fname;
    const size_t length = std::strlen(path);
    if (length + 1 > size) {
        return false;
    }
    std::memcpy(buffer, path, length + 1);
    return true;
}

int localSeconds() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (::localtime_r(&now, &local) == nullptr) {
        return 0;
    }
    return local.tm_sec;
}

ReadOnlyFile::ReadOnlyFile(const char* path) {
    // Without O_NONBLOCK a pipe of that name would hold Initialize until something writes to
    // it; only a regular file is read anyway.
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return;
    }
    handle_ = fd;
    struct stat info {};
    open_ = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

ReadOnlyFile::~ReadOnlyFile() {
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));
    }
}

int64_t ReadOnlyFile::readAt(uint64_t offset, char* buffer, size_t size) {
    if (!open_ || offset > static_cast<uint64_t>(INT64_MAX)) {
        return -1;
    }
    for (;;) {
        const ssize_t read =
            ::pread(static_cast<int>(handle_), buffer, size, static_cast<off_t>(offset));
        if (read >= 0 || errno != EINTR) {
            return read;
        }
    }
}

} // namespace vantor::platform
