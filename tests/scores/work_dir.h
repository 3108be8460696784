// A fresh temporary working directory for one test, left and removed when the test ends.
#pragma once

#include <string>

class WorkDir {
public:
    WorkDir();
    ~WorkDir();
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

    const std::string& path() const { return dir; }

private:
    std::string home;
    std::string dir;
};

// Whole-file helpers for the current directory.
std::string file_text(const char* name);
void write_file(const char* name, const std::string& bytes);
bool file_present(const char* name);
