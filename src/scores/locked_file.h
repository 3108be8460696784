// Opening a small data file to read it whole under an advisory lock: through symlinks, and
// never waiting on, or reading from, anything but a regular file.
#pragma once

#include <string>
#include <sys/stat.h>

// What open_locked returns, besides 0 and errno values, for a FIFO, device, directory or socket.
constexpr int not_a_regular_file = -1;

// An open descriptor holding a flock; closing it lets the lock go.
struct LockedFile {
    int fd = -1;
    struct stat info = {}; // also filled when the file is refused as not regular
    LockedFile() = default;
    ~LockedFile();
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
};

// The path that holds the bytes of `path`: symlinks followed, even to a file that does not
// exist yet, so it can be created there and replaced there with the link left in place.
std::string followed_path(const char* path);

// Opens `path` for reading without ever waiting on a FIFO or device, refuses anything but a
// regular file, and takes `lock` (LOCK_SH or LOCK_EX). Returns 0, not_a_regular_file, or the
// errno that stopped it (ENOENT when there is no file). With LOCK_EX the lock is on the file
// that has the name when the lock is taken, not one another writer renamed away meanwhile.
int open_locked(const std::string& path, int lock, LockedFile& file);

// Every byte of the open file. Returns 0 or an errno.
int read_whole(const LockedFile& file, std::string& bytes);

// 0 when `path` may be written by this user, else the errno that says why not.
int write_permission(const std::string& path);
