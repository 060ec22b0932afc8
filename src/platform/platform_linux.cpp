// Linux: the library finds itself with dladdr and reads its settings file through a read-only
// mapping, so nothing is taken from the heap.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "ini_profile.h"
#include "platform.h"

namespace vantor::platform {

namespace {

// The settings file mapped for one lookup.
class MappedFile {
  public:
    explicit MappedFile(const char* path) {
        if (path == nullptr || path[0] == '\0') {
            return;
        }
        // Without O_NONBLOCK a pipe of that name would hold Initialize until something writes
        // to it; only a regular file is read anyway.
        fd_ = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd_ < 0) {
            return;
        }
        struct stat info {};
        if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) {
            return;
        }
        void* data = ::mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE,
                            fd_, 0);
        if (data == MAP_FAILED) {
            return;
        }
        text_ = ini::Text{static_cast<const char*>(data), static_cast<size_t>(info.st_size)};
        mapped_ = true;
        if (ini::isUtf16(text_)) {
            narrowText();
        }
    }
    ~MappedFile() {
        if (narrowed_.data != nullptr) {
            ::munmap(const_cast<char*>(narrowed_.data), narrowed_.size);
        }
        if (mapped_) {
            ::munmap(const_cast<char*>(text_.data), text_.size);
        }
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool find(const char* section, const char* key, ini::Text& value) const {
        if (!mapped_) {
            return false;
        }
        return ini::findValue(ini::isUtf16(text_) ? narrowed_ : text_, section, key, value);
    }

  private:
    // A UTF-16 file is read through a narrowed copy in a mapping of its own.
    void narrowText() {
        const size_t length = ini::utf16Length(text_);
        if (length == 0) {
            return;
        }
        void* copy =
            ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (copy == MAP_FAILED) {
            return;
        }
        ini::narrowUtf16(text_, static_cast<char*>(copy));
        narrowed_ = ini::Text{static_cast<const char*>(copy), length};
    }

    int fd_ = -1;
    bool mapped_ = false;
    ini::Text text_{nullptr, 0};
    ini::Text narrowed_{nullptr, 0};
};

} // namespace

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

uint32_t readProfileInt(const char* path, const char* section, const char* key,
                        uint32_t defaultValue) {
    const MappedFile file(path);
    ini::Text value{};
    if (!file.find(section, key, value)) {
        return defaultValue;
    }
    return ini::parseInteger(value, defaultValue);
}

void readProfileString(const char* path, const char* section, const char* key,
                       const char* defaultValue, char* out, size_t size) {
    if (size == 0) {
        return;
    }
    const MappedFile file(path);
    ini::Text value{};
    if (!file.find(section, key, value)) {
        value = ini::Text{defaultValue, std::strlen(defaultValue)};
    }
    const size_t length = value.size < size - 1 ? value.size : size - 1;
    std::memcpy(out, value.data, length);
    out[length] = '\0';
}

} // namespace vantor::platform
