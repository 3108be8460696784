// The datafile catalogue: what start-up accepts and the messages for what it refuses.
#include <gtest/gtest.h>
#include <string>

#include "app/assets.h"
#include "support/headless.h"

namespace {

struct FakeData : testing::Test {
    // The fake leaves the tunes empty; a real file always has them.
    void SetUp() override { install_fake_game_data(), game_data[10].dat = game_data[11].dat = &midi; }
    void TearDown() override { game_data[10].dat = game_data[11].dat = nullptr, remove_fake_game_data(); }
    MIDI midi{};
};

TEST_F(FakeData, AcceptsTheCatalogueAndNamesTheObjectItRefuses)
{
    EXPECT_EQ(check_game_data(game_data), nullptr);
    BITMAP* narrow = create_bitmap(352, 32);
    const struct {
        int index, type;
        void* dat; // nullptr keeps the object's own
        const char* message;
    } rows[] = {{9, DAT_SAMPLE, nullptr, "object 9 (large font) should be a font"},
                {12, DAT_END, nullptr, "has only 12 objects"},
                {6, DAT_BITMAP, narrow, "object 6 (popup strip) is 352x32"}};
    for (const auto& row : rows) {
        const DATAFILE saved = game_data[row.index];
        game_data[row.index].type = row.type;
        if (row.dat)
            game_data[row.index].dat = row.dat;
        const char* message = check_game_data(game_data);
        EXPECT_NE(std::string(message ? message : "").find(row.message), std::string::npos)
            << row.message << " / " << (message ? message : "(accepted)");
        game_data[row.index] = saved;
    }
    destroy_bitmap(narrow);
}

TEST(LoadGameData, NamesAMissingFile)
{
    const char* message = load_game_data("no-such-dir/blocks.dat");
    ASSERT_NE(message, nullptr);
    EXPECT_NE(std::string(message).find("no-such-dir/blocks.dat"), std::string::npos);
    EXPECT_EQ(game_data, nullptr);
}

} // namespace
