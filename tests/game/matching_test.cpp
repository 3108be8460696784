// Lines, shapes, chains: what clears and what it scores; the score popups.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "game/popups.h"
#include "scenario.h"

namespace {

int popup_count()
{
    return static_cast<int>(std::distance(popup_list.begin(), popup_list.end()));
}

// All lines found on one tick share one score, one clear group and one popup, the popup
// a cell above the top-left-most cleared block, even above the well. Each case is a new
// game: none starts with a popup.
TEST(Matching, ShapesClearTheirLinesAsOneEvent)
{
    const struct {
        std::vector<std::string> well;
        const char* states;
        int popup_row, popup_col;
    } cases[] = {
        {{"RRRRRG", "GBYRGB"}, "ccccc-/------", 11, 0},
        {{".BBBY.", "GGGYRY", "BYPRGB"}, "-ccc--/ccc---/------", 10, 1},
        // An L with three above the corner clears both lines; a T with two above the
        // line, and a cross, clear only the row.
        {{"R.....", "R.....", "R.....", "RRRGBY", "GBYRGB"}, "c-----/c-----/c-----/ccc---/------", 8, 0},
        {{".R....", ".R....", "RRRGBY", "GBYRGB"}, "------/------/ccc---/------", 11, 0},
        {{".G....", "GGG...", "BGP...", "YBYRGB", "GBYRGB"}, "------/ccc---/------", 9, 0},
        {{"RRRGBY", "GBYRGB", "YGBYRG", "PRGBYP", "BYPRGB", "GBYRGB", "YGBYRG", "PRGBYP", "BYPRGB",
          "GBYRGB", "YGBYRG", "PRGBYP", "BYPRGB"}, "ccc---/------", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.well[0]);
        Scenario s(c.well);
        Player& p = s.player();
        p.well_x = 64;
        p.well_y = 48;
        s.tick();
        const int first = grid_rows - static_cast<int>(c.well.size());
        const std::string states = c.states;
        const auto rows = std::count(states.begin(), states.end(), '/');
        EXPECT_EQ(s.states(first, first + static_cast<int>(rows)), states);
        EXPECT_EQ(p.score, 10);
        EXPECT_EQ(p.chain, 1);
        ASSERT_EQ(count_groups(p), 1);
        int cells = 0;
        for (const GroupCell* g = p.groups->cells; g; g = g->next)
            cells++;
        EXPECT_EQ(cells, std::count(states.begin(), states.end(), 'c'));
        ASSERT_EQ(popup_count(), 1);
        EXPECT_EQ(popup_list.front().x, c.popup_col * 32 + 64);
        EXPECT_EQ(popup_list.front().y, c.popup_row * 32 + 48 - 32 - 1) << "moved once already";
    }
}

TEST(Matching, OnlyIdleBlocksMatch)
{
    // The R dropping through row 9 passes between two Rs without clearing them.
    Scenario s({".R....", "R.R...", "B.B...", "GBYRGB", "BYPRGB"});
    s.run(40);
    EXPECT_EQ(s.colors(9, 10), "R.R.../BRB...");
    EXPECT_EQ(s.player().score, 0);
    EXPECT_EQ(count_groups(s.player()), 0);
}

TEST(Matching, ChainsDoubleTheScore)
{
    Scenario s({"GYYB..", "YBBRRR", "BYPRGB"});
    const Player& p = s.player();
    const struct { int score, chain; const char* row11; } steps[] = {
        {10, 1, "---ccc"}, {30, 2, "-ccc--"}, {70, 3, "ccc---"}};
    int ticks = 0;
    for (const auto& step : steps) {
        for (const int before = p.score; p.score == before && ticks < 400; ticks++)
            s.tick();
        EXPECT_EQ(p.score, step.score);
        EXPECT_EQ(p.chain, step.chain);
        EXPECT_EQ(s.states(11), step.row11);
    }
}

TEST(Matching, TwoPlayersScoringTogetherGetAPopupEach)
{
    Scenario s(2);
    s.player(0).well_x = 32;
    s.player(1).well_x = 416;
    s.set_well({"RRRGBG", "GBYRGB"}, 0);
    s.set_well({"GYBBBG", "GBYRGB"}, 1);
    s.tick();
    EXPECT_EQ(s.player(0).score, 10);
    EXPECT_EQ(s.player(1).score, 10);
    ASSERT_EQ(popup_count(), 2);
    EXPECT_EQ(popup_list.front().x, 416 + 2 * 32) << "the newest is player 2's";
    EXPECT_EQ(std::next(popup_list.begin())->x, 32);
}

TEST(Popups, EachChainShowsItsPictureAndLongChainsShowPictureOne)
{
    Scenario s;
    for (int chain = 1; chain <= 127; chain++) {
        spawn_popup(static_cast<int8_t>(chain), 100, 100);
        EXPECT_EQ(popup_list.front().image, popup_images[chain <= 12 ? chain - 1 : 1]) << chain;
    }
}

TEST(Popups, RiseOnePixelATickAndGoOnTheirThirtyThirdUpdate)
{
    Scenario s;
    spawn_popup(1, 80, 64);
    for (int update = 1; update <= 32; update++) {
        update_popups();
        ASSERT_FALSE(popup_list.empty()) << "update " << update;
        EXPECT_EQ(popup_list.front().y, 80 - update);
        EXPECT_EQ(popup_list.front().x, 64);
    }
    update_popups();
    EXPECT_TRUE(popup_list.empty());
}

TEST(Popups, OnlyExpiredPopupsAreRemovedFromAnywhereInTheList)
{
    Scenario s;
    spawn_popup(1, 200, 0);
    for (int i = 0; i < 10; i++)
        update_popups();
    spawn_popup(2, 300, 32);
    update_popups();
    spawn_popup(3, 400, 64);
    for (int i = 0; i < 23; i++)
        update_popups();
    // The oldest is gone; the two younger ones stay, newest first.
    ASSERT_EQ(std::distance(popup_list.begin(), popup_list.end()), 2);
    EXPECT_EQ(popup_list.front().x, 64);
    EXPECT_EQ(popup_list.front().y, 400 - 23);
    EXPECT_EQ(std::next(popup_list.begin())->y, 300 - 24);
}

} // namespace
