// The one place files named by users, documents and macros are opened.
#include "platform/base/SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISLNK(mode)) return "a symbolic link";
    return "not a regular file";
}

std::string TooLarge(size_t maxBytes) {
    if (maxBytes >= (1u << 20) && maxBytes % (1u << 20) == 0) return "larger than " + std::to_string(maxBytes >> 20) + " MB";
    return "larger than " + std::to_string(maxBytes) + " bytes";
}

std::string NotRegular(mode_t mode) { return std::string("not a regular file (") + KindOf(mode) + ")"; }

// Writes every byte to `fd`, retrying interrupted and short writes.
bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// The extension of the last component, dot included ("" when there is none); the temporary file
// keeps it so writers that look at it see the same name ending.
std::string ExtensionOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return path.substr(dot);
}

// Creates a fresh temporary file beside `path` (never through a link: it is made exclusively) and
// returns its name, or "" with errno set.
std::string CreateTemporaryBeside(const std::string& path) {
    static std::minstd_rand random(static_cast<unsigned>(::getpid()) ^ static_cast<unsigned>(reinterpret_cast<uintptr_t>(&path)));
    const std::string extension = ExtensionOf(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char tag[16];
        std::snprintf(tag, sizeof tag, ".%06x", static_cast<unsigned>(random() & 0xFFFFFF));
        std::string name = path + tag + ".partial" + extension;
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST) return {};
    }
    return {};
}

}  // namespace

int OpenRegularFile(const char* path, std::string& why, ELinks links) {
    int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    if (links == ELinks::refuse) flags |= O_NOFOLLOW;
    int fd = ::open(path, flags);
    if (fd < 0) {
        const int err = errno;
        why = err == ELOOP && links == ELinks::refuse ? "a symbolic link, which is not followed here" : std::strerror(err);
        errno = err;
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        why = std::strerror(err);
        errno = err;
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        why = NotRegular(st.st_mode);
        errno = EINVAL;
        return -1;
    }
    // Reading a regular file waits for the disk, as callers expect.
    const int status = ::fcntl(fd, F_GETFL);
    if (status >= 0) ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    return fd;
}

bool ReadRegularFile(const std::string& path, size_t maxBytes, std::string& text, std::string& why) {
    const int fd = OpenRegularFile(path.c_str(), why);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > maxBytes) {
        ::close(fd);
        why = TooLarge(maxBytes);
        return false;
    }
    // The size is only a hint (the file may change while it is read); the bound holds anyway.
    std::string result;
    result.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    for (;;) {
        if (done == result.size()) {
            if (result.size() >= maxBytes + 1) break;
            result.resize(std::min(maxBytes + 1, result.size() + 4096));
        }
        const ssize_t n = ::read(fd, result.data() + done, result.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            why = std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    if (done > maxBytes) {
        why = TooLarge(maxBytes);
        return false;
    }
    result.resize(done);
    text = std::move(result);
    return true;
}

bool WriteOutputFile(const std::string& path,
                     const std::function<bool(const std::string& target, std::string& why)>& write,
                     std::string& why) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
        if (!S_ISFIFO(st.st_mode) && !S_ISCHR(st.st_mode)) {
            why = "cannot write to " + std::string(KindOf(st.st_mode));
            return false;
        }
        // A FIFO or a character device takes the output as it is written. Holding a descriptor
        // opened without blocking keeps the writer's own open from waiting for a reader.
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            why = errno == ENXIO ? "nothing is reading the FIFO" : std::strerror(errno);
            return false;
        }
        const bool ok = write(path, why);
        ::close(fd);
        return ok;
    }
    const std::string temporary = CreateTemporaryBeside(path);
    if (temporary.empty()) {
        why = std::strerror(errno);
        return false;
    }
    if (!write(temporary, why)) {
        std::remove(temporary.c_str());
        if (why.empty()) why = "cannot write the file";
        return false;
    }
    // rename replaces a link itself, never the file it points to.
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        why = std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool WriteOutputText(const std::string& path, const std::string& text, std::string& why) {
    return WriteOutputFile(
        path,
        [&text](const std::string& target, std::string& writeWhy) {
            // O_NONBLOCK so opening a FIFO never waits; the descriptor is switched back to blocking
            // for the writes.
            const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
            if (fd < 0) {
                writeWhy = std::strerror(errno);
                return false;
            }
            const int status = ::fcntl(fd, F_GETFL);
            if (status >= 0) ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
            const bool ok = WriteAll(fd, text.data(), text.size());
            const int err = errno;
            if (::close(fd) != 0 || !ok) {
                writeWhy = std::strerror(ok ? errno : err);
                return false;
            }
            return true;
        },
        why);
}
