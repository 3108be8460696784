// Reading the datafile from disk, refusing anything but a regular file before it is opened.
// The library opens a path without asking what it is: a named pipe without a writer keeps it in
// open() for ever. So the kind of file is looked at first, and
// the file is opened without blocking and looked at again (it may have been replaced meanwhile).
#include "app/datafile_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t read_block = 64 * 1024;

char message[PATH_MAX + 256];

const char* say(const char* path, const char* what)
{
    std::snprintf(message, sizeof message, "%s: %s", path, what);
    return message;
}

// What a file that is not a regular file is, worded to follow "blocks.dat: ".
const char* kind_of(mode_t mode)
{
    if (S_ISDIR(mode))
        return "is a directory, not a datafile";
    if (S_ISFIFO(mode))
        return "is a named pipe (FIFO), not a datafile";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "is a device, not a datafile";
    if (S_ISSOCK(mode))
        return "is a socket, not a datafile";
    return "is not a regular file";
}

const char* missing(const char* path)
{
    struct stat link;
    if (lstat(path, &link) == 0 && S_ISLNK(link.st_mode)) {
        char target[PATH_MAX];
        const ssize_t length = readlink(path, target, sizeof target - 1);
        target[length < 0 ? 0 : length] = '\0';
        std::snprintf(message, sizeof message, "%s: is a link to \"%s\", which does not exist",
                      path, target);
        return message;
    }
    if (std::strchr(path, '/') == nullptr)
        return say(path, "not found in the working directory");
    return say(path, "not found");
}

const char* cannot_read(const char* path, int error)
{
    std::snprintf(message, sizeof message, "%s: cannot be read (%s)", path, std::strerror(error));
    return message;
}

} // namespace

const char* read_datafile_file(const char* path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    struct stat info;
    if (stat(path, &info) != 0)
        return errno == ENOENT ? missing(path) : cannot_read(path, errno);
    if (!S_ISREG(info.st_mode))
        return say(path, kind_of(info.st_mode));
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? missing(path) : cannot_read(path, errno);
    const char* problem = nullptr;
    if (fstat(fd, &info) != 0)
        problem = cannot_read(path, errno);
    else if (!S_ISREG(info.st_mode))
        problem = say(path, kind_of(info.st_mode));
    else
        bytes.reserve(size_t(info.st_size));
    while (!problem) {
        const size_t had = bytes.size();
        bytes.resize(had + read_block);
        const ssize_t got = read(fd, bytes.data() + had, read_block);
        bytes.resize(had + size_t(got < 0 ? 0 : got));
        if (got == 0)
            break;
        if (got < 0 && errno != EINTR)
            problem = cannot_read(path, errno);
    }
    close(fd);
    return problem;
}
