// The datafile catalogue: what start-up accepts and the messages for what it refuses.
#include <gtest/gtest.h>
#include <string>

#include "app/assets.h"
#include "support/headless.h"

namespace {

struct FakeData : testing::Test {
    void SetUp() override { install_fake_game_data(); }
    void TearDown() override { remove_fake_game_data(); }
    // The fake leaves the tunes empty; a real file always has them.
    void give_tunes() { game_data[10].dat = game_data[11].dat = &dummy_midi; }
    void drop_tunes() { game_data[10].dat = game_data[11].dat = nullptr; }
    MIDI dummy_midi{};
};

TEST_F(FakeData, AcceptsTheCatalogueShape)
{
    give_tunes();
    EXPECT_EQ(check_game_data(game_data), nullptr);
    drop_tunes();
}

TEST_F(FakeData, NamesTheObjectOfTheWrongType)
{
    give_tunes();
    const int saved = game_data[9].type;
    game_data[9].type = DAT_SAMPLE;
    const char* message = check_game_data(game_data);
    ASSERT_NE(message, nullptr);
    EXPECT_NE(std::string(message).find("object 9 (large font) should be a font"), std::string::npos)
        << message;
    game_data[9].type = saved;
    drop_tunes();
}

TEST_F(FakeData, RefusesAShortDatafile)
{
    give_tunes();
    DATAFILE saved = game_data[12];
    game_data[12].type = DAT_END;
    const char* message = check_game_data(game_data);
    ASSERT_NE(message, nullptr);
    EXPECT_NE(std::string(message).find("has only 12 objects"), std::string::npos) << message;
    game_data[12] = saved;
    drop_tunes();
}

TEST_F(FakeData, RefusesATooNarrowPopupStrip)
{
    give_tunes();
    BITMAP* saved = static_cast<BITMAP*>(game_data[6].dat);
    BITMAP* narrow = create_bitmap(352, 32);
    game_data[6].dat = narrow;
    const char* message = check_game_data(game_data);
    ASSERT_NE(message, nullptr);
    EXPECT_NE(std::string(message).find("object 6 (popup strip) is 352x32"), std::string::npos)
        << message;
    game_data[6].dat = saved;
    destroy_bitmap(narrow);
    drop_tunes();
}

TEST(LoadGameData, NamesAMissingFile)
{
    const char* message = load_game_data("no-such-dir/blocks.dat");
    ASSERT_NE(message, nullptr);
    EXPECT_NE(std::string(message).find("no-such-dir/blocks.dat"), std::string::npos);
    EXPECT_EQ(game_data, nullptr);
}

} // namespace
