// The high-score table, its text, its file and its screens: cases.txt case by case, and what needs code.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <map>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/colors.h"
#include "scores/name_edit.h"
#include "scores/score_layout.h"
#include "scores/score_screens.h"
#include "scores/scores_file.h"
#include "scores/scores_merge.h"
#include "scores/scores_text.h"
#include "support/headless.h"

namespace {

namespace fs = std::filesystem;

// The parts of `text` between separators, without the spaces around them.
std::vector<std::string> split(const std::string& text, const std::string& separator)
{
    std::vector<std::string> parts;
    for (size_t start = 0, end = 0; end != std::string::npos; start = end + separator.size()) {
        const std::string part = text.substr(start, (end = text.find(separator, start)) - start);
        const size_t first = part.find_first_not_of(' ');
        parts.push_back(first == std::string::npos ? "" : part.substr(first, part.find_last_not_of(' ') + 1 - first));
    }
    return parts;
}

std::string unescaped(const std::string& text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size(); i++) {
        const size_t code = text[i] == '\\' && i + 1 < text.size() ? std::string("xnrtb").find(text[++i]) : std::string::npos;
        bytes += code == 0 ? char(std::stoi(text.substr(i + 1, 2), nullptr, 16)) : code == std::string::npos ? text[i] : "?\n\r\t\b"[code];
        i += code == 0 ? 2 : 0;
    }
    return bytes;
}

// The bytes as written, cut at the field's size: a terminator only when they are shorter.
void put_field(char (&field)[score_field_size], const std::string& text) { std::memcpy(field, text.c_str(), std::min(text.size() + 1, sizeof field)); }

std::map<std::string, HighScoreTable> named_tables;

HighScoreTable table_of(const std::string& field)
{
    HighScoreTable table = {};
    const std::vector<std::string> entries = field.empty() ? std::vector<std::string>() : split(field, ",");
    for (size_t i = 0; i < entries.size() && i < high_score_count && !named_tables.count(field); i++) {
        const size_t equals = entries[i].find('=');
        put_field(table.name_texts[i], equals == std::string::npos ? "n" + std::to_string(i) : unescaped(entries[i].substr(0, equals)));
        put_field(table.score_texts[i], unescaped(entries[i].substr(equals + 1)));
    }
    return named_tables.count(field) ? named_tables[field] : table;
}

// What the file holds for a table: each field and a line break.
std::string text_of(const HighScoreTable& t)
{
    std::string text;
    for (int i = 0; i < high_score_count; i++)
        for (const char* field : {t.name_texts[i], t.score_texts[i]})
            text += std::string(field, strnlen(field, score_field_size)) + "\n";
    return text;
}

// A table's text, or the bytes themselves.
std::string contents(const std::string& what) { return named_tables.count(what) ? text_of(named_tables[what]) : what; }
std::string file_text(const std::string& path) { std::ifstream in(path, std::ios::binary); return {std::istreambuf_iterator<char>(in), {}}; }
void write_file(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
mode_t octal(const std::string& text) { return mode_t(std::stoi(text, nullptr, 8)); }

// Every path under the current folder, links not followed, with its mode and inode.
std::map<std::string, std::string> snapshot()
{
    std::map<std::string, std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator(".")) {
        struct stat info = {};
        lstat(entry.path().c_str(), &info);
        paths[entry.path().lexically_relative(".").string()] = std::to_string(info.st_mode) + " " + std::to_string(info.st_ino);
    }
    return paths;
}

// An ordinary user, as root ignores file modes; a test process that is no root is one already.
const passwd* const nobody = getpwnam("nobody");
const bool root = geteuid() == 0;

void give_to_nobody(const std::string& path)
{
    if (root && lchown(path.c_str(), nobody->pw_uid, nobody->pw_gid) != 0)
        std::abort();
}

// As root, acts as `uid` and `gid` from now on, keeping root to come back to.
void become(uid_t uid, gid_t gid)
{
    if (root && (setresuid(0, 0, 0) != 0 || setgroups(0, nullptr) != 0 || setresgid(gid, gid, 0) != 0 || setresuid(uid, uid, 0) != 0))
        std::abort();
}

// `body` in a forked child with an alarm against a hang: what it printed on stderr, and what it
// returned or "hung or crashed". A pipe, as a file could not take more than a size limit.
template <class Body> std::pair<std::string, std::string> run_in_child(Body body)
{
    int ends[2];
    if (pipe(ends) != 0)
        std::abort();
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        alarm(5);
        dup2(ends[1], STDERR_FILENO);
        const std::string result = "\x01" + body(); // after all it printed
        _exit(write(STDERR_FILENO, result.data(), result.size()) == ssize_t(result.size()) ? 0 : 1);
    }
    close(ends[1]);
    std::string text;
    char chunk[4096];
    for (ssize_t got; (got = read(ends[0], chunk, sizeof chunk)) > 0;)
        text.append(chunk, size_t(got));
    close(ends[0]);
    int status = 0;
    const size_t mark = waitpid(pid, &status, 0) == pid && status == 0 ? text.rfind('\x01') : std::string::npos;
    return {text.substr(0, mark), mark == std::string::npos ? "hung or crashed" : text.substr(mark + 1)};
}

// A game that enters Eve with 55 and saves, as after the name entry, then again at exit; then
// reloads and saves with nothing new. The table it ends with, and whether a save with nothing
// new wrote the file (each write makes a new file, or a new time).
std::string play()
{
    HighScoreTable table;
    ScoresFile file;
    std::set<std::tuple<ino_t, time_t, long>> writes;
    const auto save = [&] {
        save_scores(table, file);
        struct stat info = {};
        stat("scores", &info);
        writes.emplace(info.st_ino, info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
    };
    load_scores(table, file);
    insert_high_score(table, high_score_rank(table, 55), "Eve", 55);
    save();
    save();
    load_scores(table, file);
    save();
    return writes.size() == 1 ? scores_text(table) : "written again";
}

// The screens' scripted keyboard: each read takes the next key, or asks to end when there is
// none, and keeps the picture the player saw while waiting.
BITMAP *shown = nullptr, *before = nullptr; // the display, and what it held before the screen
ScreenIo io = {};
std::vector<int> script;
std::vector<BITMAP*> frames;
int waits = 0;
bool refuse_images = false;

BITMAP* copy_of(BITMAP* b) { BITMAP* c = create_bitmap(b->w, b->h); blit(b, c, 0, 0, 0, 0, b->w, b->h); return c; }

bool same_pixels(BITMAP* a, BITMAP* b) { return std::memcmp(a->dat, b->dat, size_t(a->w * a->h) * sizeof(uint16_t)) == 0; }

int scripted_key()
{
    frames.push_back(copy_of(shown));
    const int code = script.empty() ? key_quit : script.front();
    script.erase(script.begin(), script.begin() + !script.empty());
    return code;
}

// Each test in a fresh folder the ordinary user owns, with a screen of stripes on a warm ground.
struct Scores : testing::Test {
    void SetUp() override
    {
        char pattern[] = "/tmp/blockrise-scores-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        fs::current_path(folder = pattern);
        give_to_nobody(pattern);
        umask(022);
        install_fake_game_data();
        clear_to_color(shown = create_bitmap(screen_width, screen_height), makecol(200, 160, 120));
        for (int x = 0; x < screen_width; x += 40)
            rectfill(shown, x, 0, x + 9, screen_height - 1, color_white);
        before = copy_of(shown);
        io = {shown, [] { waits++; }, nullptr, scripted_key, nullptr,
              [](int w, int h) { return refuse_images ? nullptr : create_bitmap(w, h); }, destroy_bitmap, nullptr, nullptr};
    }
    void TearDown() override
    {
        fs::current_path(home);
        fs::permissions(folder, fs::perms::owner_all);
        fs::remove_all(folder);
        std::for_each(frames.begin(), frames.end(), destroy_bitmap);
        frames.clear(), script.clear(), waits = 0, refuse_images = false;
        destroy_bitmap(shown), destroy_bitmap(before);
        remove_fake_game_data();
        drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);
    }
    fs::path home = fs::current_path(), folder;
};

// In a child: SETUP made, a game played; then the folder holds what it held, each path with its
// inode and mode, but for what AFTER names when the save succeeds. What is wrong, if anything.
std::string file_case(const std::vector<std::string>& f)
{
    rlim_t limit = RLIM_INFINITY;
    for (const std::string& word : split(f.at(2), " ")) {
        const std::vector<std::string> w = split(word + ":::", ":"); // PATH KIND WHAT MODE
        if (w[1] == "tmpfs" && (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                                mount("blockrise", ".", "tmpfs", 0, "size=16k") != 0 || chdir(fs::current_path().c_str()) != 0))
            return std::string("no tmpfs: ") + std::strerror(errno);
        if (w[1] == "file" || w[1] == "fill")
            write_file(w[0], w[1] == "fill" ? std::string(1 << 20, 'f') : contents(w[2])); // a fill takes what room there is
        else if (w[1] == "dir")
            fs::create_directory(w[0]);
        else if (w[1] == "link")
            fs::create_symlink(w[2], w[0]);
        else if (w[1] == "fifo")
            mkfifo(w[0].c_str(), 0644);
        if (w[1] == "limit")
            limit = contents(w[2]).size();
        else if (w[0] != "." && !w[0].empty())
            give_to_nobody(w[0]);
        if (!w[3].empty())
            chmod(w[0].c_str(), octal(w[3]));
    }
    std::map<std::string, std::string> was = snapshot();
    if (f.at(3) == "nobody")
        become(nobody->pw_uid, nobody->pw_gid);
    const rlimit size_limit = {limit, limit};
    signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
    setrlimit(RLIMIT_FSIZE, &size_limit);
    const std::string out = play();
    become(0, 0);
    chmod(".", 0755); // readable again for a test process that is no root either
    std::map<std::string, std::string> now = snapshot();
    std::string problems;
    bool first = true;
    for (const std::string& word : f.at(5).empty() ? std::vector<std::string>() : split(f[5], " ")) {
        const std::vector<std::string> a = split(word + "::", ":"); // PATH WHAT MODE
        problems += a[2].empty() || now[a[0]].rfind(std::to_string(S_IFREG | octal(a[2])) + " ", 0) == 0 ? "" : a[0] + " has another mode; ";
        chmod(a[0].c_str(), 0644);
        problems += file_text(a[0]) == contents(a[1]) ? "" : a[0] + " holds\n" + file_text(a[0]);
        problems += !f[4].empty() || !std::exchange(first, false) || out == file_text(a[0]) ? "" : "ends with\n" + out;
        if (f[4].empty())
            was.erase(a[0]), now.erase(a[0]);
    }
    return problems + (now == was ? "" : "the folder changed");
}

// Pixels of exactly `color` in rows [y, y + h) and columns [x0, x1): how many, and where.
struct Ink { int count = 0, left = 1 << 30, right = -1, top = 1 << 30; int centre() const { return (left + right + 1) / 2; } };

Ink ink(BITMAP* b, int color, int y, int h = 8, int x0 = 0, int x1 = screen_width)
{
    Ink found;
    for (int row = y; row < y + h; row++)
        for (int x = x0; x < x1; x++)
            if (getpixel(b, x, row) == color)
                found = {found.count + 1, std::min(found.left, x), std::max(found.right, x), std::min(found.top, row)};
    return found;
}

// Each player whose score enters types a name in turn, with the keys of the script, on a screen
// that waits for the retrace before each redraw and wipes the name's band first, so the name's
// ink follows its length.
void entry_case(const std::vector<std::string>& f)
{
    HighScoreTable table = table_of(f.at(1)), entered_table = {};
    const std::string keys = unescaped(f.at(3));
    for (char code : keys)
        script.push_back(static_cast<unsigned char>(code));
    refuse_images = f.at(6) == "refused";
    std::vector<int32_t> scores;
    for (const std::string& score : split(f.at(2), " "))
        scores.push_back(std::stoi(score));
    HighScoreEntry entered[2] = {};
    for (int i = 0, added = enter_high_scores(io, table, scores.data(), int(scores.size()), entered); i < added; i++)
        put_field(entered_table.name_texts[i], entered[i].name), put_field(entered_table.score_texts[i], entered[i].score);
    EXPECT_EQ(text_of(table) + "entered:\n" + text_of(entered_table) + "screens: " + std::to_string(frames.size()),
              text_of(table_of(f[4])) + "entered:\n" + text_of(table_of(f[5])) + "screens: " + (refuse_images ? "0" : f[6]));
    EXPECT_TRUE(script.empty() && same_pixels(shown, before) && waits == int(frames.size())) << "keys left, the screen not given back, or no wait";
    const int green = makecol(typed_name_r, typed_name_g, typed_name_b);
    const auto centred = [](const Ink& i) { return std::abs(i.centre() - screen_centre_x) <= 5; }; // a space at the end has no ink
    bool shrank = keys.find('\b') == std::string::npos;
    for (size_t i = 0; i < frames.size(); i++) {
        const Ink name = ink(frames[i], green, typed_name_y, name_band_height);
        const int next = i + 1 < frames.size() && keys[i] == '\b' ? ink(frames[i + 1], green, typed_name_y, name_band_height).count : name.count;
        EXPECT_TRUE(centred(ink(frames[i], color_highlight, new_high_score_y)) && centred(ink(frames[i], color_white, enter_name_y)) &&
                    (name.count == 0 || centred(name)) && next <= name.count) << i;
        shrank |= next < name.count;
    }
    EXPECT_TRUE(shrank) << "a Backspace takes ink away";
}

// The name typed over `start` with `keys`, and whether the last key confirmed it.
std::string typed(const std::string& start, const std::string& keys)
{
    char name[score_field_size];
    put_field(name, start);
    bool confirmed = false;
    for (char code : keys)
        confirmed = edit_name(name, static_cast<unsigned char>(code));
    return name + std::string(confirmed ? " yes" : " no");
}

struct Case { int line; std::vector<std::string> fields; };
struct Cases : Scores, testing::WithParamInterface<Case> {};

std::vector<Case> load_cases()
{
    std::ifstream in(std::string(SOURCE_DIR) + "/tests/scores/cases.txt");
    std::vector<Case> cases;
    for (auto [line, number] = std::pair(std::string(), 0); std::getline(in, line) && ++number;)
        if (const std::vector<std::string> fields = split(line, "|"); !line.empty() && line[0] != '#' && fields[0] == "table")
            named_tables[fields.at(1)] = table_of(fields.at(2));
        else if (!line.empty() && line[0] != '#')
            cases.push_back(Case{number, fields});
    return cases;
}

TEST_P(Cases, Hold)
{
    const std::vector<std::string>& f = GetParam().fields;
    const auto text = [&](size_t i) { return unescaped(f.at(i)); };
    const auto number = [&](size_t i) { return int32_t(std::stol(f.at(i))); };
    HighScoreTable table = table_of(f.at(1));
    std::string actual, expected, report;
    if (f[0] == "rank")
        actual = std::to_string(high_score_rank(table, number(2))), expected = f.at(3);
    else if (f[0] == "insert")
        insert_high_score(table, number(2), text(3).c_str(), number(4)), actual = text_of(table), expected = text_of(table_of(f.at(5)));
    else if (f[0] == "value")
        actual = std::to_string(score_value(text(1).c_str())), expected = f.at(2);
    else if (f[0] == "name")
        actual = typed(text(1), text(2)), expected = text(3) + " " + f.at(4);
    else if (f[0] == "merge")
        actual = text_of(merged_scores(table, table_of(f.at(2)), table_of(f.at(3)))), expected = text_of(table_of(f.at(4)));
    else if (f[0] == "same")
        actual = same_scores(table, table_of(f.at(2))) ? "yes" : "no", expected = f.at(3);
    else if (f[0] == "read")
        std::memset(&table, 'x', sizeof table), read_scores_text(table, text(1)), actual = scores_text(table), expected = text_of(table_of(f.at(2)));
    else if (f[0] == "write")
        actual = scores_text(table), expected = text_of(table_of(f.at(2)));
    else if (f[0] == "file")
        std::tie(report, actual) = run_in_child([&] { return file_case(f); });
    else if (f[0] == "enter")
        entry_case(f);
    else
        actual = "a verb of cases.txt";
    if (actual.rfind("no tmpfs", 0) == 0)
        GTEST_SKIP() << "cannot mount a tmpfs here (it needs root): " << actual;
    EXPECT_EQ(actual, expected);
    EXPECT_TRUE(f[0] != "file" || f[4].empty() ? report.empty()
                : std::count(report.begin(), report.end(), '\n') == 1 && report.rfind("blockrise: ", 0) == 0 && report.find(f[4]) != std::string::npos) << report;
}

INSTANTIATE_TEST_SUITE_P(File, Cases, testing::ValuesIn(load_cases()), [](const testing::TestParamInfo<Case>& c) {
    return c.param.fields[0] + "_line_" + std::to_string(c.param.line);
});

// Games that read the same table and save it at the same moment, each twice: under the lock each
// save merges with those before it, so no entry is lost and none entered twice.
TEST_F(Scores, GamesSavingAtTheSameMomentLoseNoEntry)
{
    write_file("scores", contents("defaults"));
    HighScoreTable table;
    ScoresFile file;
    load_scores(table, file);
    int go[2], status = 0;
    ASSERT_EQ(pipe(go), 0);
    pid_t games[5];
    for (int g = 0; g < 5; g++)
        if ((games[g] = fork()) == 0) {
            char byte;
            close(go[1]);
            for (int entry = 0; entry < 2 && read(go[0], &byte, 1) == 0; entry++) { // the end of `go` starts them
                const int32_t score = 10 * entry + 10 + g;
                insert_high_score(table, high_score_rank(table, score), (std::string("ab")[entry] + std::to_string(g)).c_str(), score);
                save_scores(table, file);
            }
            save_scores(table, file);
            _exit(0);
        }
    close(go[0]), close(go[1]);
    for (pid_t pid : games)
        EXPECT_TRUE(waitpid(pid, &status, 0) == pid && status == 0);
    EXPECT_EQ(file_text("scores"), text_of(table_of("b4=24, b3=23, b2=22, b1=21, b0=20, a4=14, a3=13, a2=12, a1=11, a0=10")));
}

// A quarter as bright away from the texts; each entry centred in its column over a black shadow
// two pixels down and right, a "%" just a character and an empty entry nothing; without a screen
// image nothing is shown.
TEST_F(Scores, TableIsShownDimmedWithItsTextsAndTheScreenGivenBack)
{
    HighScoreTable table = table_of("%s%d=%%, sd=%%, Wj Xq=12, HH=7");
    show_high_scores(io, table);
    ASSERT_EQ(frames.size(), 1u);
    for (int x : {3, 639}) // a stripe and the ground, away from the texts
        for (int (*part)(int) : {getr, getg, getb})
            EXPECT_NEAR(part(getpixel(frames[0], x, 470)), part(getpixel(before, x, 470)) / 4, 9) << x;
    EXPECT_NEAR(ink(frames[0], color_highlight, high_scores_title_y).centre(), screen_centre_x, 2);
    std::vector<int> counts;
    for (int i = 0, y = table_first_row_y; i < high_score_count; i++, y += table_row_step) {
        const Ink name = ink(frames[0], color_white, y, 8, 0, screen_centre_x), score = ink(frames[0], color_white, y, 8, screen_centre_x);
        const Ink shadow = ink(frames[0], color_black, y, 10, 0, screen_centre_x);
        EXPECT_TRUE(i > 3 ? name.count + score.count == 0 : std::abs(name.centre() - table_name_x) <= 2 && std::abs(score.centre() - table_score_x) <= 2 &&
                    name.top >= y && shadow.left == name.left + 2 && shadow.top == name.top + 2) << i;
        counts.insert(counts.end(), {name.count, score.count});
    }
    EXPECT_EQ(counts[0], counts[1] + counts[2]) << "%s%d as %% and sd";
    refuse_images = true;
    show_high_scores(io, table);
    EXPECT_TRUE(frames.size() == 1 && same_pixels(shown, before));
    rectfill(before, 0, 0, 3, 3, color_black); // translucent drawing stays in force: later primitives blend
    EXPECT_NE(getpixel(before, 1, 1), color_black);
}

} // namespace
