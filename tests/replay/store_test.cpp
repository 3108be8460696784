// Replays kept with the high scores: the index follows the table as entries shift down and
// fall off, the replays of fallen entries go, and nothing outside the folder is touched.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "replay/replay_store.h"

namespace fs = std::filesystem;

namespace {

class Store : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/blockrise-store-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        fs::current_path(dir = pattern);
        for (int i = 0; i < high_score_count; i++)
            insert_high_score(table, i, "Pelmorix", 0);
    }
    void TearDown() override
    {
        fs::current_path(home);
        fs::remove_all(dir);
    }
    // A game scoring `scores`, entered as the name entry would, and kept.
    std::string play(uint32_t seed, std::vector<int32_t> scores, const char* name = "Ann")
    {
        Replay replay;
        replay.players = static_cast<int>(scores.size());
        replay.seed = seed;
        replay.date = "2026-12-07T12:00:0" + std::to_string(seed % 10) + "Z";
        std::vector<TableEntry> added;
        for (int32_t score : scores) {
            const int rank = high_score_rank(table, score);
            if (rank < 0)
                continue;
            insert_high_score(table, rank, name, score);
            added.push_back({table.name_texts[rank], table.score_texts[rank]});
        }
        std::string problem;
        EXPECT_TRUE(save_last_replay(replay, problem)) << problem;
        EXPECT_TRUE(keep_replays(table, replay, added, problem)) << problem;
        return kept_replay_name(replay);
    }
    std::set<std::string> files()
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(replays_folder))
            names.insert(entry.path().filename().string());
        return names;
    }
    HighScoreTable table{};
    fs::path home = fs::current_path(), dir;
};

TEST_F(Store, EntriesKeepTheirReplaysAsTheyShiftAndLoseThemWhenTheyFallOff)
{
    const std::string first = play(1, {50});
    EXPECT_EQ(replay_of_entry(table, 0), first);
    const std::string both = play(2, {70, 60}); // two players, two entries, one replay
    EXPECT_EQ(replay_of_entry(table, 0), both);
    EXPECT_EQ(replay_of_entry(table, 1), both);
    EXPECT_EQ(replay_of_entry(table, 2), first) << "shifted down with its entry";
    EXPECT_EQ(replay_of_entry(table, 3), "");
    const std::string missed = play(3, {-5});
    EXPECT_EQ(files(), (std::set<std::string>{first, both, last_replay_name, replay_index_name}))
        << "a game off the table keeps only last.replay";
    EXPECT_NE(missed, first);
    for (uint32_t seed = 10; seed < 17; seed++)
        play(seed, {100 + static_cast<int32_t>(seed)});
    EXPECT_EQ(replay_of_entry(table, 9), first) << "the 50 is last now";
    play(20, {200});
    EXPECT_EQ(files().count(first), 0u) << "fallen off: its replay is gone";
    EXPECT_EQ(files().count(both), 1u);
    play(21, {300});
    EXPECT_EQ(files().count(both), 1u) << "one of its two entries is still there";
    play(22, {400});
    EXPECT_EQ(files().count(both), 0u);
}

TEST_F(Store, AnIndexEditedByHandCannotDeleteAnythingElse)
{
    play(1, {50});
    std::ofstream(fs::path(replays_folder) / replay_index_name, std::ios::app)
        << "../outside.replay\t0\tPelmorix\n"
        << "last.replay\t0\tPelmorix\n"
        << ".hidden.replay\t0\tPelmorix\n"
        << "no tabs here\n";
    std::ofstream("outside.replay") << "mine";
    for (uint32_t seed = 2; seed < 14; seed++)
        play(seed, {100 + static_cast<int32_t>(seed)});
    EXPECT_TRUE(fs::exists("outside.replay"));
    EXPECT_TRUE(fs::exists(fs::path(replays_folder) / last_replay_name));
    EXPECT_EQ(files().size(), high_score_count + 2u) << "one replay per entry, last.replay and the index";
}

} // namespace
