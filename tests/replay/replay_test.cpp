// Recorded games: they re-simulate to what they record, survive their file, and a file that
// is not a whole, consistent replay of this version is refused with its line named.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "replay/replay_text.h"

namespace {

// A seeded game with random input at about a quick player's pace, recorded as the game loop
// records it.
Replay recorded_game(int players, uint32_t seed, double raise_chance, int32_t stop_at = game_ticks)
{
    Replay replay;
    replay.players = players;
    replay.seed = seed;
    replay.date = "2026-12-07T12:00:00Z";
    std::mt19937 random(seed);
    std::bernoulli_distribution move(0.015), swap(0.03), raise(raise_chance);
    GameState game;
    start_game(game, players, seed);
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

TEST(Replay, RecordedGamesResimulateToTheirEndThroughTheirFile)
{
    const struct {
        int players;
        double raise_chance;
        int32_t stop_at;
        bool topped_out;
    } games[] = {{1, 0.0, game_ticks, false}, {2, 0.0, game_ticks, false}, {1, 0.05, game_ticks, true},
                 {2, 0.05, game_ticks, true}, {2, 0.0, 2500, false} /* ended with Escape */};
    for (const auto& g : games) {
        SCOPED_TRACE(testing::Message() << g.players << " players, raise " << g.raise_chance);
        const Replay played = recorded_game(g.players, 4242, g.raise_chance, g.stop_at);
        EXPECT_EQ(played.topped_out[0] || played.topped_out[1], g.topped_out);
        EXPECT_EQ(played.end_tick == game_ticks, !g.topped_out && g.stop_at == game_ticks);
        Replay back;
        std::string problem;
        const std::string text = replay_text(played);
        ASSERT_TRUE(parse_replay(text, back, problem)) << problem;
        EXPECT_TRUE(replay_text(back) == text);
        EXPECT_EQ(verify_replay(back), "");
    }
}

TEST(Replay, VerificationNamesTheFirstMismatch)
{
    const Replay played = recorded_game(2, 4242, 0.05);
    ASSERT_TRUE(played.topped_out[0] || played.topped_out[1]);
    const int topped = played.topped_out[0] ? 0 : 1;
    const struct {
        const char* what;
        void (*tamper)(Replay&, int);
        std::string says;
    } cases[] = {
        {"score", [](Replay& r, int) { r.scores[1] += 10; }, "player 2 scores"},
        {"top-out", [](Replay& r, int t) { r.topped_out[t] = false; }, "tops out, unlike the record"},
        {"end", [](Replay& r, int) { r.end_tick = game_ticks; },
         "the game ends on tick " + std::to_string(played.end_tick) + ", not on the recorded 7200"},
    };
    EXPECT_EQ(verify_replay(played), "");
    for (const auto& c : cases) {
        Replay changed = played;
        c.tamper(changed, topped);
        EXPECT_NE(verify_replay(changed).find(c.says), std::string::npos) << c.what << ": " << verify_replay(changed);
    }
}

// A valid file, then each line of it broken in turn.
const char valid[] = "blockrise replay 1\nplayers 2\nseed 4294967295\ndate 2026-12-07T12:00:00Z\nclock 31\n"
                     "5 1 left+\n5 2 swap+\n9 1 left-\nend 40\nplayer 1 0\nplayer 2 0\n";

TEST(ReplayFile, RefusesAnythingButAWholeConsistentReplayNamingTheLine)
{
    Replay replay;
    std::string problem;
    ASSERT_TRUE(parse_replay(valid, replay, problem)) << problem;
    EXPECT_EQ(replay.changes.size(), 3u);
    std::string crlf = valid;
    for (size_t at = 0; (at = crlf.find('\n', at)) != std::string::npos; at += 2)
        crlf.replace(at, 1, "\r\n");
    EXPECT_TRUE(parse_replay(crlf, replay, problem)) << problem;

    const struct {
        const char* from;
        std::string to;
        const char* says;
    } broken[] = {
        {"blockrise replay 1", "blockrise replay 2", "line 1: a replay of format 2"},
        {"blockrise replay 1", "hello", "line 1: not a Blockrise replay"},
        {"players 2", "players 3", "line 2"},
        {"seed 4294967295", "seed 4294967296", "line 3"},
        {"clock 31", "clock 32", "line 5"},
        {"5 1 left+", "0 1 left+", "line 6"},
        {"5 1 left+", "7201 1 left+", "line 6"},
        {"9 1 left-", "4 1 left-", "line 8: the ticks go backwards"},
        {"5 2 swap+", "5 3 swap+", "line 7"},
        {"5 2 swap+", "5 2 swap", "line 7"},
        {"5 2 swap+", "5 2 jump+", "line 7"},
        {"9 1 left-", "9 1 left+", "line 8: the left action of player 1 is already down"},
        {"end 40", "end 8", "line 9"},
        {"end 40\n", "", "line 9: expected \"TICK"},
        {"end 40\nplayer 1 0\nplayer 2 0\n", "", "ends before its \"end\" line"},
        {"player 2 0\n", "", "ends before the score of player 2"},
        {"player 2 0\n", "player 2 0\nmore\n", "line 12: more follows"},
        {"player 1 0", "player 1 zero", "line 10"},
        {"player 1 0", "player 2 0", "line 10"},
        {"date 2026-12-07T12:00:00Z", "date " + std::string(60, 'x'), "line 4"},
    };
    for (const auto& b : broken) {
        SCOPED_TRACE(b.to);
        std::string text = valid;
        text.replace(text.find(b.from), std::string(b.from).size(), b.to);
        EXPECT_FALSE(parse_replay(text, replay, problem));
        EXPECT_NE(problem.find(b.says), std::string::npos) << problem;
    }
    EXPECT_FALSE(parse_replay(std::string(valid) + std::string(200, 'x'), replay, problem));
    EXPECT_FALSE(parse_replay(std::string("blockrise replay 1\0", 19), replay, problem));
}

// In a folder of its own: a missing, special or oversized file is refused by name, at once.
TEST(ReplayFile, ReadsOnlyRegularFilesOfAReplaysSizeAndWritesWhole)
{
    char folder[] = "/tmp/blockrise-replay-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string dir = folder;
    Replay replay;
    std::string problem;
    ASSERT_TRUE(parse_replay(valid, replay, problem));
    ASSERT_TRUE(write_replay_file(dir + "/a.replay", replay, problem)) << problem;
    Replay back;
    ASSERT_TRUE(read_replay_file(dir + "/a.replay", back, problem)) << problem;
    EXPECT_EQ(replay_text(back), valid);

    ASSERT_EQ(mkfifo((dir + "/fifo").c_str(), 0600), 0);
    FILE* big = std::fopen((dir + "/big").c_str(), "w");
    ASSERT_NE(big, nullptr);
    std::fseek(big, static_cast<long>(max_replay_bytes) + 1, SEEK_SET);
    std::fputc('\n', big);
    std::fclose(big);
    const struct {
        const char* name;
        const char* says;
    } refused[] = {{"missing", "missing: No such file"}, {"fifo", "fifo: not a regular file"},
                   {"big", "big: too large"}, {"", ": not a regular file"}};
    for (const auto& r : refused) {
        EXPECT_FALSE(read_replay_file(dir + "/" + r.name, back, problem));
        EXPECT_NE(problem.find(r.says), std::string::npos) << problem;
    }
    EXPECT_FALSE(write_replay_file(dir + "/no/such/folder.replay", replay, problem));
    for (const char* name : {"a.replay", "fifo", "big"})
        std::remove((dir + "/" + name).c_str());
    rmdir(folder);
}

} // namespace
