// Opening, locking and reading a small data file with the system's calls.
#include "scores/locked_file.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr int max_link_hops = 40;   // what the kernel allows before ELOOP
constexpr int max_lock_tries = 100; // each try means another writer replaced the file meanwhile
constexpr size_t read_chunk = 4096;

bool same_file(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int lock_file(int fd, int lock)
{
    while (flock(fd, lock) != 0)
        if (errno != EINTR)
            return errno;
    return 0;
}

} // namespace

LockedFile::~LockedFile()
{
    if (fd >= 0)
        close(fd);
}

std::string followed_path(const char* path)
{
    // realpath would do this, but fails on a link to a file not made yet.
    std::string followed = path;
    for (int hop = 0; hop < max_link_hops; hop++) {
        char target[PATH_MAX];
        const ssize_t length = readlink(followed.c_str(), target, sizeof target);
        if (length < 0)
            return followed;
        std::string next(target, static_cast<size_t>(length));
        const size_t slash = followed.rfind('/');
        if (!next.empty() && next[0] != '/' && slash != std::string::npos)
            next.insert(0, followed, 0, slash + 1);
        followed = next;
    }
    return followed; // a loop: opening it says so
}

int open_locked(const std::string& path, int lock, LockedFile& file)
{
    for (int attempt = 0; attempt < max_lock_tries; attempt++) {
        if (file.fd >= 0)
            close(file.fd);
        // O_NONBLOCK: a FIFO would otherwise wait in open() for a writer that never comes.
        file.fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (file.fd < 0) {
            const int error = errno;
            // A socket cannot be opened at all; say what it is rather than why open failed.
            if (stat(path.c_str(), &file.info) == 0 && !S_ISREG(file.info.st_mode))
                return not_a_regular_file;
            return error;
        }
        if (fstat(file.fd, &file.info) != 0)
            return errno;
        if (!S_ISREG(file.info.st_mode))
            return not_a_regular_file;
        if (const int error = lock_file(file.fd, lock))
            return error;
        struct stat named;
        if (lock == LOCK_SH || (stat(path.c_str(), &named) == 0 && same_file(named, file.info)))
            return 0;
        // Replaced or removed while we waited for the lock: the new file is the one to lock.
    }
    return EBUSY;
}

int read_whole(const LockedFile& file, std::string& bytes)
{
    bytes.clear();
    char chunk[read_chunk];
    for (;;) {
        const ssize_t got = pread(file.fd, chunk, sizeof chunk, static_cast<off_t>(bytes.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        bytes.append(chunk, static_cast<size_t>(got));
    }
}

int write_permission(const std::string& path)
{
    return access(path.c_str(), W_OK) == 0 ? 0 : errno;
}
