// Temporary files, renames and in-place rewrites with the system's calls.
#include "scores/file_write.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* temp_suffix = ".XXXXXX"; // mkstemp fills in the X
constexpr mode_t new_file_mode = 0666;          // before the umask, as fopen makes files

std::string folder_of(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int write_all_at(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return errno;
        done += static_cast<size_t>(put);
    }
    return 0;
}

// The bytes, the length, then fsync: a full disk shows in one of the three.
int fill(int fd, const std::string& bytes)
{
    if (const int error = write_all_at(fd, bytes))
        return error;
    if (ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 || fsync(fd) != 0)
        return errno;
    return 0;
}

// The name change itself must outlive a power cut too.
void sync_folder(const std::string& path)
{
    const int fd = open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

mode_t umask_mode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return new_file_mode & ~mask;
}

// mkstemp opens with O_EXCL under a name nobody could have guessed, so no file or link
// already there is ever written through. On success `temp` names the filled file.
int write_temp(const std::string& path, const std::string& bytes, mode_t mode, std::string& temp, bool& made)
{
    temp = path + temp_suffix;
    const int fd = mkstemp(&temp[0]);
    made = fd >= 0;
    if (!made)
        return errno;
    int error = fchmod(fd, mode) != 0 ? errno : fill(fd, bytes);
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        unlink(temp.c_str());
    return error;
}

} // namespace

int replace_through_temp(const std::string& path, const struct stat& old, const std::string& bytes, bool& temp_made)
{
    std::string temp;
    if (const int error = write_temp(path, bytes, old.st_mode & 07777, temp, temp_made))
        return error;
    if (rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        unlink(temp.c_str());
        return error;
    }
    sync_folder(path);
    return 0;
}

int rewrite_in_place(const std::string& path, const struct stat& old, const std::string& bytes,
                     const std::string& old_bytes)
{
    const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat opened;
    int error = fstat(fd, &opened) != 0 ? errno : 0;
    if (error == 0 && (opened.st_dev != old.st_dev || opened.st_ino != old.st_ino))
        error = EBUSY; // swapped for another file while we held the lock on this one
    if (error == 0) {
        error = fill(fd, bytes);
        if (error != 0)
            fill(fd, old_bytes);
    }
    if (close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

int create_whole(const std::string& path, const std::string& bytes)
{
    std::string temp;
    bool made = false;
    if (const int error = write_temp(path, bytes, umask_mode(), temp, made))
        return error;
    // No replacing: a file another instance made meanwhile stays. A file system that cannot
    // promise that (EINVAL) gets a plain rename; the race left is two games starting at once.
    int error = renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0 ? 0 : errno;
    if (error == EINVAL)
        error = rename(temp.c_str(), path.c_str()) == 0 ? 0 : errno;
    if (error != 0)
        unlink(temp.c_str());
    else
        sync_folder(path);
    return error;
}
