// Running a piece of a test in a forked child: as an ordinary user (the tests run as root,
// and root ignores file modes), with its stderr caught and a time limit against hangs.
#pragma once

#include <functional>
#include <string>

struct ChildRun {
    bool finished = false; // returned: neither killed at the time limit nor crashed
    std::string out;       // what the body returned
    std::string err;       // what it printed on stderr
};

enum class RunAs { self, ordinary_user };

// As an ordinary user a root test process becomes "nobody"; one that is no root already is
// an ordinary user and stays itself.
ChildRun run_in_child(RunAs who, const std::function<std::string()>& body);

// Makes `path` belong to the user an ordinary-user child runs as.
void give_to_ordinary_user(const std::string& path);
