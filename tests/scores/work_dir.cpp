// Temporary working directories and whole-file helpers for the score tests.
#include "work_dir.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

WorkDir::WorkDir()
{
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd))
        home = cwd;
    char pattern[] = "/tmp/blockrise-scores-XXXXXX";
    if (mkdtemp(pattern))
        dir = pattern;
    if (dir.empty() || chdir(dir.c_str()) != 0)
        ADD_FAILURE() << "cannot make a working directory";
}

WorkDir::~WorkDir()
{
    if (chdir(home.c_str()) != 0)
        ADD_FAILURE() << "cannot return to " << home;
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

std::string file_text(const char* name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const char* name, const std::string& bytes)
{
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool file_present(const char* name)
{
    struct stat info;
    return lstat(name, &info) == 0;
}
