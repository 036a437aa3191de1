#include "script/script_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/utf8.h"

namespace jmach {

ScriptSource fd_source(int fd) {
    return [fd](char* buf, std::size_t size) -> std::ptrdiff_t {
        for (;;) {
            const ssize_t got = ::read(fd, buf, size);
            if (got >= 0 || errno != EINTR) return got;
        }
    };
}

int open_script(const char* path, std::string& error) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read " + quote_excerpt(path) + " (" + std::strerror(errno) + ")";
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        error = quote_excerpt(path) + " is a directory, not a script";
        return -1;
    }
    return fd;
}

LineWriter::LineWriter(int fd, bool closed) : fd_(fd), closed_at_start_(closed) {}

bool LineWriter::write_line(std::string_view line) {
    if (failed()) return false;
    if (closed_at_start_) {
        error_ = std::string("cannot write standard output (") + std::strerror(EBADF) + ": it was closed)";
        return false;
    }
    std::string text(line);
    text += '\n';
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = std::string("cannot write standard output (") + std::strerror(n < 0 ? errno : EIO) + ")";
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

int guard_standard_descriptors() {
    int closed = 0;
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        closed |= 1 << fd;
        // The lowest free descriptor is this one: 0..fd-1 are open by now.
        const int null = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
    return closed;
}

}  // namespace jmach
