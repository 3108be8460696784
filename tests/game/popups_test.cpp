// Score popups: which picture, how they rise, when they go.
#include <gtest/gtest.h>

#include <iterator>

#include "game/popups.h"
#include "scenario.h"

namespace {

TEST(Popups, EachChainShowsItsPictureAndLongChainsShowPictureOne)
{
    Scenario s;
    for (int chain = 1; chain <= 12; chain++) {
        spawn_popup(static_cast<int8_t>(chain), 100, 100);
        EXPECT_EQ(popup_list.front().image, popup_images[chain - 1]) << "chain " << chain;
    }
    for (int chain : {13, 14, 50, 127}) {
        spawn_popup(static_cast<int8_t>(chain), 100, 100);
        EXPECT_EQ(popup_list.front().image, popup_images[1]) << "chain " << chain;
    }
}

TEST(Popups, RiseOnePixelATickAndGoOnTheirThirtyThirdUpdate)
{
    Scenario s;
    spawn_popup(1, 80, 64);
    std::vector<int> heights;
    for (int update = 1; update <= 32; update++) {
        update_popups();
        ASSERT_FALSE(popup_list.empty()) << "update " << update;
        heights.push_back(popup_list.front().y);
        EXPECT_EQ(popup_list.front().x, 64);
    }
    EXPECT_EQ(heights.front(), 79);
    EXPECT_EQ(heights[30], 49) << "the last height above the wells' top edge";
    EXPECT_EQ(heights.back(), 48);
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

TEST(Popups, AMatchInTheTopRowMakesAPopupAboveTheWell)
{
    Scenario s;
    s.player().well_y = 48;
    s.set_well({"RRRGBY", "GBYRGB", "YGBYRG", "PRGBYP", "BYPRGB", "GBYRGB", "YGBYRG",
                "PRGBYP", "BYPRGB", "GBYRGB", "YGBYRG", "PRGBYP", "BYPRGB"});
    s.tick();
    ASSERT_FALSE(popup_list.empty());
    EXPECT_EQ(popup_list.front().y, 16 - 1);
    s.run(32);
    EXPECT_TRUE(popup_list.empty());
}

TEST(Popups, ANewGameStartsWithoutPopups)
{
    {
        Scenario s;
        s.set_well({"RRRGBY", "GBYRGB"});
        s.tick();
        EXPECT_FALSE(popup_list.empty());
    }
    // The harness ends a game as the game loop does: end_game, then clear_popups.
    EXPECT_TRUE(popup_list.empty());
    Scenario next(2);
    EXPECT_TRUE(popup_list.empty());
}

} // namespace
