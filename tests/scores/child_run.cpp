// Forking, dropping privileges, catching output, and an alarm for a child that hangs.
#include "child_run.h"

#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char* ordinary_user = "nobody";
constexpr unsigned time_limit_s = 5; // the alarm's default action ends the child

struct Ids {
    uid_t uid;
    gid_t gid;
};

// Looked up before any fork: the name service is no business of a child.
Ids ordinary_ids()
{
    const passwd* user = getpwnam(ordinary_user);
    if (!user)
        std::abort();
    return {user->pw_uid, user->pw_gid};
}

std::string drain(int fd)
{
    std::string text;
    char chunk[4096];
    for (ssize_t got; (got = read(fd, chunk, sizeof chunk)) > 0;)
        text.append(chunk, static_cast<size_t>(got));
    close(fd);
    return text;
}

} // namespace

void give_to_ordinary_user(const std::string& path)
{
    const Ids ids = ordinary_ids();
    if (geteuid() == 0 && lchown(path.c_str(), ids.uid, ids.gid) != 0)
        std::abort();
}

ChildRun run_in_child(RunAs who, const std::function<std::string()>& body)
{
    const Ids ids = ordinary_ids();
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0)
        std::abort();
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        alarm(time_limit_s);
        dup2(err[1], STDERR_FILENO);
        if (who == RunAs::ordinary_user && geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(ids.gid) != 0 || setuid(ids.uid) != 0))
            _exit(1);
        const std::string result = body();
        // _exit, not exit: the parent's atexit handlers and test state are not the child's.
        _exit(write(out[1], result.data(), result.size()) == static_cast<ssize_t>(result.size()) ? 0 : 1);
    }
    close(out[1]);
    close(err[1]);
    ChildRun run;
    run.out = drain(out[0]);
    run.err = drain(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}
