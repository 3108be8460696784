// Loading and saving "scores": the policy on refusals, merges and messages.
#include "scores/scores_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/file.h>

#include "scores/file_write.h"
#include "scores/locked_file.h"
#include "scores/scores_merge.h"
#include "scores/scores_text.h"

namespace {

constexpr const char* message_prefix = "blockrise: ";
constexpr const char* not_saved = "it is left as it is and new scores are not saved";

HighScoreTable default_table()
{
    HighScoreTable defaults = {};
    for (int i = 0; i < high_score_count; i++) {
        copy_field(defaults.name_texts[i], default_score_name);
        std::snprintf(defaults.score_texts[i], score_field_size, "%i", default_score);
    }
    return defaults;
}

const char* kind_of(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "an unknown kind of file";
}

// The same problem met again, at the next save of a run, is not news.
void report(ScoresFile& file, const std::string& message)
{
    if (message == file.last_report)
        return;
    file.last_report = message;
    std::fprintf(stderr, "%s%s\n", message_prefix, message.c_str());
}

std::string unreadable(const std::string& path, int error, const LockedFile& locked)
{
    if (error == not_a_regular_file)
        return path + " is " + kind_of(locked.info.st_mode) + ", not a scores file; " + not_saved;
    return "cannot read " + path + " (" + std::strerror(error) + "); " + not_saved;
}

std::string cannot_create(const std::string& path, int error)
{
    return "cannot create " + path + " (" + std::strerror(error) + "); new scores are not saved";
}

// True with the file locked and its bytes read. Otherwise `error` says why, and anything but
// a missing file has been reported.
bool open_and_read(ScoresFile& file, const std::string& path, int lock, LockedFile& locked, std::string& bytes,
                   int& error)
{
    error = open_locked(path, lock, locked);
    if (error == 0)
        error = read_whole(locked, bytes);
    if (error != 0 && error != ENOENT)
        report(file, unreadable(path, error, locked));
    return error == 0;
}

// Writes `text` over the locked file; the way round a folder no temporary file can be made in
// is to rewrite the file itself.
int write_over(const std::string& path, const LockedFile& locked, const std::string& text, const std::string& old)
{
    bool temp_made = false;
    const int error = replace_through_temp(path, locked.info, text, temp_made);
    return temp_made ? error : rewrite_in_place(path, locked.info, text, old);
}

} // namespace

void load_scores(HighScoreTable& table, ScoresFile& file)
{
    table = file.as_read = {};
    const std::string path = followed_path(scores_file_name);
    LockedFile locked;
    std::string bytes;
    int error = 0;
    if (!open_and_read(file, path, LOCK_SH, locked, bytes, error)) {
        if (error != ENOENT)
            return;
        // The defaults reach the table only by way of the file. EEXIST: another instance
        // made it first, and that one is read.
        error = create_whole(path, scores_text(default_table()));
        if (error != 0 && error != EEXIST) {
            report(file, cannot_create(path, error));
            return;
        }
        if (!open_and_read(file, path, LOCK_SH, locked, bytes, error))
            return;
    }
    read_scores_text(table, bytes);
    file.as_read = table;
}

void save_scores(HighScoreTable& table, ScoresFile& file)
{
    if (same_scores(table, file.as_read))
        return;
    const std::string path = followed_path(scores_file_name);
    LockedFile locked;
    std::string bytes;
    int error = 0;
    // A second round only when the file vanished and another instance made a new one meanwhile.
    for (int round = 0; !open_and_read(file, path, LOCK_EX, locked, bytes, error); round++) {
        if (error != ENOENT)
            return;
        // Gone since it was read: nothing on the disk to keep or merge with.
        error = create_whole(path, scores_text(table));
        if (error == 0) {
            file.as_read = table;
            file.last_report.clear();
            return;
        }
        if (error != EEXIST || round > 0) {
            report(file, cannot_create(path, error));
            return;
        }
    }
    HighScoreTable on_disk;
    read_scores_text(on_disk, bytes);
    // Unchanged since read: this run's table goes out exactly as it is.
    const HighScoreTable merged =
        same_scores(on_disk, file.as_read) ? table : merged_scores(file.as_read, table, on_disk);
    if (!same_scores(merged, on_disk)) {
        if ((error = write_permission(path)) != 0) {
            report(file, path + " is not writable (" + std::strerror(error) + "); " + not_saved);
            return;
        }
        if ((error = write_over(path, locked, scores_text(merged), bytes)) != 0) {
            report(file, "cannot save " + path + " (" + std::strerror(error) + "); the old file is kept");
            return;
        }
    }
    table = file.as_read = merged;
    file.last_report.clear();
}
