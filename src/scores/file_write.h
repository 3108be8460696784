// Writing a small data file whole so that a failure leaves the old one as it was.
#pragma once

#include <string>
#include <sys/stat.h>

// Each returns 0 or the errno of the step that failed; none follows a symlink of its own
// making or of a stranger's, and each file is on the disk before it takes the name.

// Writes `bytes` to a new temporary file beside `path` with the mode of `old`, then
// renames it over `path`. `temp_made` says whether that file could be created: when it could
// not, nothing was touched.
int replace_through_temp(const std::string& path, const struct stat& old, const std::string& bytes,
                         bool& temp_made);

// Overwrites the file at `path`, which must still be the one `old` describes; the way when
// no temporary file can be made beside it. On failure puts `old_bytes` back as far as it can.
int rewrite_in_place(const std::string& path, const struct stat& old, const std::string& bytes,
                     const std::string& old_bytes);

// Creates `path` holding `bytes`, with the mode a new file gets from the umask. EEXIST when
// some other file took the name first: that one is left alone.
int create_whole(const std::string& path, const std::string& bytes);
