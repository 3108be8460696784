// Reading the datafile from disk: a regular file only, without ever waiting on what is not one.
#pragma once

#include <cstdint>
#include <vector>

// Reads the whole of `path` into `bytes`. nullptr, or a message naming the file and saying what
// it is when it is missing, a directory, a named pipe, a device, a socket or a dangling link
// (or why it cannot be read). A named pipe or a device is never opened for reading.
const char* read_datafile_file(const char* path, std::vector<uint8_t>& bytes);
