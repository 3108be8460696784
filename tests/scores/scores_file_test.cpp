// The scores file on disk: creation, refusals, links, full disks and two games saving at once.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "child_run.h"
#include "scores/scores_file.h"
#include "scores/scores_text.h"
#include "scores_files.h"

namespace {

namespace fs = std::filesystem;

// A game that loads the table, enters `name` with `score` and saves, twice as a game that saves
// after each entry and at exit would. Returns the table it ends with.
std::string play(const char* name, int32_t score)
{
    HighScoreTable table;
    ScoresFile file;
    load_scores(table, file);
    insert_high_score(table, high_score_rank(table, score), name, score);
    save_scores(table, file);
    save_scores(table, file);
    return scores_text(table);
}

// Exactly one line naming the problem, or nothing at all.
void expect_report(const std::string& err, const std::string& problem)
{
    if (problem.empty()) {
        EXPECT_EQ(err, "");
        return;
    }
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(err.rfind("blockrise: ", 0), 0u) << err;
    EXPECT_NE(err.find(problem), std::string::npos) << err;
}

// Each case stands in a fresh folder of its own, which the ordinary user owns.
class ScoresFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/blockrise-scores-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        base = pattern;
        chmod(pattern, 0755);
        give_to_ordinary_user(base);
    }
    void TearDown() override
    {
        fs::current_path(home);
        fs::permissions(base, fs::perms::owner_all);
        fs::remove_all(base);
    }
    void enter_fresh_folder()
    {
        const fs::path folder = base / std::to_string(folders++);
        fs::create_directory(folder);
        give_to_ordinary_user(folder);
        fs::current_path(folder);
    }
    fs::path home = fs::current_path(), base;
    int folders = 0;
};

} // namespace

TEST_F(ScoresFileTest, MissingFileIsCreatedWithDefaultsAndReadBack)
{
    enter_fresh_folder();
    umask(022);
    const ChildRun run = run_in_child(RunAs::self, [] {
        HighScoreTable table;
        ScoresFile file;
        load_scores(table, file);
        return scores_text(table);
    });
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.out, text_of(default_entries()));
    EXPECT_EQ(file_text("scores"), text_of(default_entries()));
    EXPECT_EQ(lstat_of("scores").st_mode, S_IFREG | 0644);
    EXPECT_EQ(folder_listing(), std::set<std::string>{"scores"}) << "no temporary file is left";
    EXPECT_EQ(run.err, "");
}

// Each save after the first, with nothing new, leaves the file alone; a reload gives the table back.
TEST_F(ScoresFileTest, ASaveWritesTheNewTableOnceAndAReloadGivesItBack)
{
    enter_fresh_folder();
    write_file("scores", text_of(sample_entries()));
    chmod("scores", 0640);
    const ChildRun run = run_in_child(RunAs::self, [] {
        HighScoreTable table, reloaded;
        ScoresFile file, reread;
        load_scores(table, file);
        insert_high_score(table, high_score_rank(table, 55), "Eve", 55);
        save_scores(table, file);
        // The second name keeps the inode from being reused by a file that replaces this one.
        if (link("scores", "scores.held") != 0)
            return std::string("cannot link");
        const struct stat written = lstat_of("scores");
        save_scores(table, file);
        load_scores(reloaded, reread);
        save_scores(reloaded, reread);
        const struct stat now = lstat_of("scores");
        const bool untouched = now.st_ino == written.st_ino && now.st_mtim.tv_sec == written.st_mtim.tv_sec &&
                               now.st_mtim.tv_nsec == written.st_mtim.tv_nsec;
        unlink("scores.held");
        return scores_text(reloaded) + (untouched ? "" : "written again");
    });
    ASSERT_TRUE(run.finished);
    const std::string expected = text_of(with_entry(sample_entries(), 5, "Eve", "55"));
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(file_text("scores"), expected);
    EXPECT_EQ(lstat_of("scores").st_mode, S_IFREG | 0640) << "the mode the file had";
    EXPECT_EQ(run.err, "");
}

// As a user who may not do everything: a file that cannot be read is never replaced, nor one
// that may not be written; a folder that takes no new file still takes a rewrite, and a
// rewrite that fails half way puts the old bytes back.
TEST_F(ScoresFileTest, FilesTheUserMayNotReadOrWriteAreKeptAndAReadOnlyFolderIsWrittenInPlace)
{
    constexpr mode_t no_file = S_IFMT;
    const rlim_t old_size = text_of(sample_entries()).size(); // a file may not grow past it
    const struct {
        const char* what;
        mode_t file_mode, folder_mode;
        rlim_t size_limit;
        const char* report; // empty: the new entry is saved
    } rows[] = {
        {"unreadable file", 0000, 0755, RLIM_INFINITY, "cannot read scores (Permission denied); it is left as it is"},
        {"read-only file", 0444, 0755, RLIM_INFINITY, "scores is not writable (Permission denied); it is left as it is"},
        {"read-only folder", 0644, 0555, RLIM_INFINITY, ""},
        {"read-only folder, no file", no_file, 0555, RLIM_INFINITY, "cannot create scores (Permission denied)"},
        {"read-only folder, rewrite cut short", 0644, 0555, old_size,
         "cannot save scores (File too large); the old file is kept"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        enter_fresh_folder();
        if (row.file_mode != no_file) {
            write_file("scores", text_of(sample_entries()));
            give_to_ordinary_user("scores");
            chmod("scores", row.file_mode);
        }
        chmod(".", row.folder_mode);
        const struct stat before = lstat_of("scores");
        const std::set<std::string> listing = folder_listing();
        const ChildRun run = run_in_child(RunAs::ordinary_user, [&] {
            const rlimit limit = {row.size_limit, row.size_limit};
            signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
            setrlimit(RLIMIT_FSIZE, &limit);
            return play("Eve", 55);
        });
        ASSERT_TRUE(run.finished);
        expect_report(run.err, row.report);
        const struct stat after = lstat_of("scores");
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(folder_listing(), listing);
        // Readable and removable again for a test process that is no root either.
        chmod(".", 0755);
        chmod("scores", 0644);
        if (row.file_mode != no_file) {
            const Entries expected = *row.report ? sample_entries() : with_entry(sample_entries(), 5, "Eve", "55");
            EXPECT_EQ(file_text("scores"), text_of(expected));
        }
    }
}

// A link the user made is kept and written through; a link someone left under a name of the
// save's own is never followed, so no file of the user's is hit.
TEST_F(ScoresFileTest, LinksNamedScoresAreWrittenThroughAndOtherLinksAreNeverFollowed)
{
    const std::string notes = "my own notes\n";
    const struct {
        const char* what;
        std::function<void()> make;
        const char* holder;      // where the table ends up
        Entries before;          // what it held
    } rows[] = {
        {"scores links into another folder",
         [] {
             fs::create_directory("data");
             write_file("data/real", text_of(sample_entries()));
             fs::create_symlink("data/real", "scores");
         },
         "data/real", sample_entries()},
        {"scores links to a file not made yet",
         [] {
             fs::create_directory("data");
             fs::create_symlink("data/new", "scores");
         },
         "data/new", default_entries()},
        {"scores.tmp links to the user's notes",
         [&] {
             write_file("notes.txt", notes);
             fs::create_symlink("notes.txt", "scores.tmp");
             write_file("scores", text_of(sample_entries()));
         },
         "scores", sample_entries()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        enter_fresh_folder();
        row.make();
        std::set<std::string> listing = folder_listing();
        listing.insert(row.holder);
        const struct stat link = lstat_of("scores");
        const ChildRun run = run_in_child(RunAs::self, [] { return play("Eve", 55); });
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(file_text(row.holder), text_of(with_entry(row.before, row.before == default_entries() ? 0 : 5,
                                                            "Eve", "55")));
        if (S_ISLNK(link.st_mode)) {
            EXPECT_EQ(lstat_of("scores").st_ino, link.st_ino) << "the link is kept";
        }
        EXPECT_EQ(folder_listing(), listing) << "nothing is left beside";
        if (fs::exists("notes.txt")) {
            EXPECT_EQ(file_text("notes.txt"), notes);
            EXPECT_TRUE(fs::is_symlink("scores.tmp"));
        }
    }
}

// Without waiting on a FIFO, and leaving each as it was.
TEST_F(ScoresFileTest, ScoresThatIsNoRegularFileIsRefusedByKind)
{
    const struct {
        const char* kind;
        std::function<void()> make;
    } rows[] = {
        {"a FIFO", [] { ASSERT_EQ(mkfifo("scores", 0644), 0); }},
        {"a directory", [] { fs::create_directory("scores"); }},
        {"a character device", [] { fs::create_symlink("/dev/null", "scores"); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.kind);
        enter_fresh_folder();
        row.make();
        const std::set<std::string> listing = folder_listing();
        const struct stat before = lstat_of("scores");
        const ChildRun run = run_in_child(RunAs::self, [] { return play("Eve", 55); });
        if (!run.finished) {
            ADD_FAILURE() << "hung or crashed";
            continue;
        }
        expect_report(run.err, std::string(" is ") + row.kind + ", not a scores file");
        EXPECT_EQ(lstat_of("scores").st_mode, before.st_mode);
        EXPECT_EQ(lstat_of("scores").st_ino, before.st_ino);
        EXPECT_EQ(folder_listing(), listing);
    }
}

// A tmpfs of a few pages, filled up after the table was read, in a mount namespace of the
// child's own: every step of the check happens there.
TEST_F(ScoresFileTest, ASaveToAFullDiskKeepsTheOldFileAndSaysWhy)
{
    enter_fresh_folder();
    const ChildRun run = run_in_child(RunAs::self, [] {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("blockrise", ".", "tmpfs", 0, "size=16k") != 0 || chdir(fs::current_path().c_str()) != 0)
            return std::string("no tmpfs: ") + std::strerror(errno);
        write_file("scores", text_of(sample_entries()));
        HighScoreTable table;
        ScoresFile file;
        load_scores(table, file);
        write_file("filler", std::string(1 << 20, 'f')); // as much as fits
        insert_high_score(table, 0, "Lost", 1000);
        save_scores(table, file);
        std::string names;
        for (const std::string& name : folder_listing())
            names += name + " ";
        return names + "\n" + file_text("scores");
    });
    ASSERT_TRUE(run.finished);
    if (run.out.rfind("no tmpfs", 0) == 0)
        GTEST_SKIP() << "cannot mount a tmpfs here (it needs root): " << run.out;
    EXPECT_EQ(run.out, "filler scores \n" + text_of(sample_entries()));
    expect_report(run.err, "cannot save scores (No space left on device); the old file is kept");
}

// Both load the same table; each saves an entry of its own, the second after the first.
TEST_F(ScoresFileTest, TwoGamesInOneFolderKeepEachOthersEntries)
{
    enter_fresh_folder();
    write_file("scores", text_of(sample_entries()));
    const ChildRun run = run_in_child(RunAs::self, [] {
        HighScoreTable first, second;
        ScoresFile first_file, second_file;
        load_scores(first, first_file);
        load_scores(second, second_file);
        insert_high_score(first, high_score_rank(first, 55), "Ann", 55);
        insert_high_score(second, high_score_rank(second, 75), "Bob", 75);
        save_scores(first, first_file);
        save_scores(second, second_file);
        const std::string after_both = file_text("scores");
        // The first game sees the second's entry at its next save, and enters nothing twice.
        insert_high_score(first, high_score_rank(first, 35), "Cid", 35);
        save_scores(first, first_file);
        save_scores(first, first_file);
        return after_both + "|" + scores_text(second) + "|" + scores_text(first);
    });
    ASSERT_TRUE(run.finished);
    const Entries both = with_entry(with_entry(sample_entries(), 5, "Ann", "55"), 3, "Bob", "75");
    const std::string all_three = text_of(with_entry(both, 9, "Cid", "35"));
    EXPECT_EQ(run.out, text_of(both) + "|" + text_of(both) + "|" + all_three);
    EXPECT_EQ(file_text("scores"), all_three);
    EXPECT_EQ(run.err, "");
}

// Many games that read the same table, let go at once: the lock makes each merge see the
// saves before it.
TEST_F(ScoresFileTest, GamesSavingAtTheSameMomentLoseNoEntry)
{
    constexpr int games = 8, rounds = 3;
    for (int round = 0; round < rounds; round++) {
        enter_fresh_folder();
        write_file("scores", text_of(default_entries()));
        HighScoreTable table;
        ScoresFile file;
        load_scores(table, file);
        int go[2];
        ASSERT_EQ(pipe(go), 0);
        std::vector<pid_t> games_running;
        for (int g = 0; g < games; g++) {
            if (const pid_t pid = fork()) {
                games_running.push_back(pid);
                continue;
            }
            close(go[1]);
            char byte;
            if (read(go[0], &byte, 1) != 0) // the end of `go` is the start
                _exit(1);
            insert_high_score(table, high_score_rank(table, 10 + g), ("g" + std::to_string(g)).c_str(), 10 + g);
            save_scores(table, file);
            _exit(0);
        }
        close(go[0]);
        close(go[1]);
        for (pid_t pid : games_running) {
            int status = 0;
            waitpid(pid, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        Entries expected = default_entries();
        for (int g = 0; g < games; g++)
            expected = with_entry(expected, 0, "g" + std::to_string(g), std::to_string(10 + g));
        EXPECT_EQ(file_text("scores"), text_of(expected)) << "round " << round;
    }
}
