#include "core/file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace jmach {

namespace {

std::string reason(int error) { return std::strerror(error); }

bool same_file(const struct stat& a, int fd) {
    struct stat b {};
    return ::fstat(fd, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Why a file that exists may not be replaced: anything but a regular file
// (a device, a pipe, a socket, a folder), the program's own output streams
// however they are reached, and a file nobody may write.
std::optional<std::string> refusal(const struct stat& target) {
    if (same_file(target, STDOUT_FILENO)) return "is this program's standard output";
    if (same_file(target, STDERR_FILENO)) return "is this program's standard error";
    if (S_ISDIR(target.st_mode)) return reason(EISDIR);
    if (S_ISCHR(target.st_mode) || S_ISBLK(target.st_mode)) return "is a device";
    if (S_ISFIFO(target.st_mode)) return "is a named pipe";
    if (S_ISSOCK(target.st_mode)) return "is a socket";
    if (!S_ISREG(target.st_mode)) return "is not a regular file";
    // Judged by the mode bits rather than by access(), which lets root
    // write anything: a file made read-only stays so.
    if ((target.st_mode & 0222) == 0) return "is read-only";
    return std::nullopt;
}

}  // namespace

std::optional<std::string> write_whole_file(const std::string& path, std::string_view bytes) {
    if (path.empty()) return reason(ENOENT);
    // What the name stands for now. A symbolic link is followed to the
    // file behind it, which is replaced there, so the link stays a link; a
    // dangling link or a loop is refused.
    std::string place = path;
    mode_t mode = 0;
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0) {
        struct stat target {};
        if (::stat(path.c_str(), &target) != 0) return reason(errno);
        if (auto why = refusal(target)) return why;
        mode = target.st_mode & 07777;
        if (S_ISLNK(link.st_mode)) {
            const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
            if (!resolved) return reason(errno);
            place = resolved.get();
        }
    } else if (errno != ENOENT) {
        return reason(errno);
    } else {
        // A new file gets the mode a newly created one would (0666 less
        // the umask), not mkstemp's 0600.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    // The temporary file lies in the target's folder, so that the rename
    // that replaces the target never crosses file systems.
    std::string temporary = place + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return reason(errno);
    auto fail = [&](int error) -> std::optional<std::string> {
        ::close(fd);
        ::unlink(temporary.c_str());
        return reason(error);
    };
    if (::fchmod(fd, mode) != 0) return fail(errno);
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail(n < 0 ? errno : EIO);
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 && errno != EINVAL) return fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return reason(error);
    }
    if (::rename(temporary.c_str(), place.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return reason(error);
    }
    return std::nullopt;
}

}  // namespace jmach
