// Recorded games re-simulate to what they record through their file, which is refused by line when
// it is not a whole, consistent replay; replays kept with the high scores follow their entries.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sys/stat.h>

#include "replay/replay_store.h"
#include "replay/replay_text.h"

namespace {

namespace fs = std::filesystem;

// A seeded game with random input at about a quick player's pace, recorded as the game loop
// records it.
Replay recorded_game(int players, double raise_chance, int32_t stop_at = game_ticks)
{
    Replay replay;
    replay.players = players;
    replay.seed = 4242;
    std::mt19937 random(replay.seed);
    std::bernoulli_distribution move(0.015), swap(0.03), raise(raise_chance);
    GameState game;
    start_game(game, players, replay.seed);
    TickInputs was{}, now{};
    for (int32_t tick = 1; tick <= stop_at && !game_is_over(game); tick++) {
        for (int p = 0; p < players; p++)
            for (int a = 0; a < action_count; a++)
                if (a == ACTION_RAISE ? raise(random) : a == ACTION_SWAP ? swap(random) : move(random))
                    now[p].held = static_cast<uint8_t>(now[p].held ^ (1u << a));
        record_inputs(replay, tick, was, now);
        update_game(game, now);
        was[0] = now[0], was[1] = now[1];
    }
    record_end(replay, game);
    return replay;
}

// A game that topped out, an Escape and two whole games come back through their text and verify;
// with one recorded outcome changed the first mismatch is named.
TEST(Replay, RecordedGamesVerifyThroughTheirTextAndAChangedOutcomeIsNamed)
{
    const struct { int players; double raise_chance; int32_t stop_at; int32_t end; } games[] = {
        {1, 0.0, game_ticks, game_ticks}, {2, 0.0, game_ticks, game_ticks}, {1, 0.05, game_ticks, 0}, {2, 0.0, 2500, 2500}};
    for (const auto& g : games) {
        Replay played = recorded_game(g.players, g.raise_chance, g.stop_at), back;
        std::string problem;
        ASSERT_TRUE(parse_replay(replay_text(played), back, problem)) << problem;
        EXPECT_TRUE(replay_text(back) == replay_text(played) && verify_replay(back).empty() && (g.end ? back.end_tick == g.end : back.topped_out[0]))
            << g.players << " players, raise " << g.raise_chance << ": " << verify_replay(back);
    }
    const Replay played = recorded_game(2, 0.05);
    const int p = played.topped_out[0] ? 0 : 1;
    ASSERT_TRUE(played.topped_out[p] && played.end_tick < game_ticks);
    const std::string who = "player " + std::to_string(p + 1);
    const std::pair<void (*)(Replay&, int), std::string> changes[] = {
        {[](Replay& r, int t) { r.scores[t] += 10; }, who + " scores 0, not the recorded 10"},
        {[](Replay& r, int t) { r.topped_out[t] = false; }, who + " tops out, unlike the record"},
        {[](Replay& r, int t) { r.topped_out[1 - t] = true; }, "player " + std::to_string(2 - p) + " does not top out, as recorded"},
        {[](Replay& r, int) { r.end_tick = game_ticks; }, "the game ends on tick " + std::to_string(played.end_tick) + ", not on the recorded 7200"}};
    for (const auto& [change, says] : changes) {
        Replay changed = played;
        change(changed, p);
        EXPECT_EQ(verify_replay(changed), says);
    }
}

// `text` with every `from` written as `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

TEST(ReplayFile, RefusesAnythingButAWholeConsistentReplayNamingTheLine)
{
    std::ifstream in(SOURCE_DIR "/tests/replay/changes.txt");
    std::string valid, line, problem;
    while (std::getline(in, line) && line != "---")
        valid += line[0] == '#' ? "" : line + "\n";
    Replay replay;
    ASSERT_TRUE(parse_replay(valid, replay, problem)) << problem;
    EXPECT_EQ(replay_text(replay), valid);
    while (std::getline(in, line)) {
        std::vector<std::string> change; // FROM TO SAYS
        for (size_t start = 0, bar = 0; bar != std::string::npos; start = bar + 1) {
            const std::string part = line.substr(start, (bar = line.find('|', start)) - start);
            const size_t first = part.find_first_not_of(' ');
            change.push_back(first == std::string::npos ? "" : part.substr(first, part.find_last_not_of(' ') + 1 - first));
            change.back() = replaced(replaced(replaced(change.back(), "\\n", "\n"), "\\r", "\r"), "\\0", std::string(1, '\0'));
        }
        const std::string text = replaced(valid, change.at(0), change.at(1));
        const bool read = parse_replay(text, replay, problem);
        EXPECT_TRUE(change.at(2).empty() ? read && replay_text(replay) == valid : !read && problem.find(change[2]) != std::string::npos) << line << ": " << problem;
    }
}

// Each test in a folder of its own.
struct InFolder : testing::Test {
    void SetUp() override
    {
        char pattern[] = "/tmp/blockrise-replay-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        fs::current_path(folder = pattern);
        for (int i = 0; i < high_score_count; i++)
            insert_high_score(table, i, "Pelmorix", 0);
    }
    void TearDown() override
    {
        fs::current_path(home);
        fs::remove_all(folder);
    }
    // A game of as many players as `scores`, entered as the name entry would, and kept.
    std::string play(uint32_t seed, std::vector<int32_t> scores)
    {
        Replay replay;
        replay.players = int(scores.size());
        replay.seed = seed;
        replay.date = "2026-12-07T12:00:0" + std::to_string(seed % 10) + "Z";
        std::vector<TableEntry> added;
        for (int32_t score : scores)
            if (const int rank = high_score_rank(table, score); rank >= 0) {
                insert_high_score(table, rank, "Ann", score);
                added.push_back({table.name_texts[rank], table.score_texts[rank]});
            }
        std::string problem;
        EXPECT_TRUE(save_last_replay(replay, problem) && keep_replays(table, replay, added, problem) && fs::exists(replay_path(last_replay_name))) << problem;
        return kept_replay_name(replay);
    }
    std::set<std::string> kept()
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(replays_folder))
            names.insert(entry.path().filename().string());
        return names;
    }
    HighScoreTable table{};
    fs::path home = fs::current_path(), folder;
};

// Only a regular file of a replay's size is read, and at once; a file is written whole.
TEST_F(InFolder, ReplayFilesAreReadOnlyWhenRegularAndOfAReplaysSize)
{
    Replay replay = recorded_game(1, 0.0, 30), back;
    std::string problem;
    ASSERT_TRUE(write_replay_file("a.replay", replay, problem) && read_replay_file("a.replay", back, problem)) << problem;
    EXPECT_EQ(replay_text(back), replay_text(replay));
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    fs::resize_file((std::ofstream("big") << "x", "big"), max_replay_bytes + 1);
    for (const std::string says : {"missing: No such file", "fifo: not a regular file", "big: too large", ".: not a regular file"}) {
        EXPECT_FALSE(read_replay_file(says.substr(0, says.find(':')), back, problem));
        EXPECT_EQ(problem.rfind(says, 0), 0u) << problem;
    }
    EXPECT_FALSE(write_replay_file("no/such/folder.replay", replay, problem));
    EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), 3) << "no temporary file is left";
}

TEST_F(InFolder, EntriesKeepTheirReplaysAsTheyShiftAndLoseThemWhenTheyFallOff)
{
    const std::string first = play(1, {50}), both = play(2, {70, 60}); // two entries, one replay
    EXPECT_EQ(replay_of_entry(table, 0) + replay_of_entry(table, 1) + replay_of_entry(table, 2) + replay_of_entry(table, 3), both + both + first);
    EXPECT_NE(play(3, {-5}), first);
    EXPECT_EQ(kept(), (std::set<std::string>{first, both, last_replay_name, replay_index_name})) << "a game off the table keeps only last.replay";
    for (uint32_t seed = 10; seed < 17; seed++)
        play(seed, {100 + int32_t(seed)});
    EXPECT_EQ(replay_of_entry(table, 9), first) << "the 50 is last now";
    play(20, {200});
    EXPECT_EQ(kept().count(first) + 2 * kept().count(both), 2u) << "the 50 fell off, the 70 and 60 did not";
    play(21, {300});
    EXPECT_EQ(kept().count(both), 1u) << "one of its two entries is still there";
    play(22, {400});
    EXPECT_EQ(kept().count(both), 0u);
}

TEST_F(InFolder, AnIndexEditedByHandCannotDeleteAnythingElse)
{
    play(1, {50});
    std::ofstream(replay_path(replay_index_name), std::ios::app) << "../outside.replay\t0\tPelmorix\nx/../../outside.replay\t0\tPelmorix\n"
                                                                << "last.replay\t0\tPelmorix\n.hidden.replay\t0\tPelmorix\nno tabs here\n";
    fs::create_directory(replay_path("x"));
    std::ofstream("outside.replay") << "mine", std::ofstream(replay_path(".hidden.replay")) << "mine";
    for (uint32_t seed = 2; seed < 14; seed++)
        play(seed, {100 + int32_t(seed)});
    EXPECT_TRUE(fs::exists("outside.replay") && fs::exists(replay_path(".hidden.replay")));
    EXPECT_EQ(kept().size(), high_score_count + 4u) << "one replay per entry, last.replay, the index and what was there";
}

} // namespace
