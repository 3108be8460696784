// The popup list: each lives 33 updates, newest first, and two players' popups never overflow it.
#include <gtest/gtest.h>

#include <vector>

#include "game/popups.h"

namespace {

TEST(Popups, LiveThirtyThreeUpdatesLosingALifeEach)
{
    PopupList popups{};
    spawn_popup(popups, 3, 1, 7, 2);
    for (int update = 1; update <= 32; update++) {
        update_popups(popups);
        ASSERT_EQ(popups.count, 1) << "update " << update;
        EXPECT_EQ(popup_height(popups.items[0]), update);
    }
    const Popup last = popups.items[0];
    EXPECT_EQ((std::vector<int>{last.chain, last.player, last.row, last.col, last.life}),
              (std::vector<int>{3, 1, 7, 2, 0}));
    update_popups(popups);
    EXPECT_EQ(popups.count, 0);
}

TEST(Popups, OnlyExpiredOnesLeaveAndTheRestKeepNewestFirst)
{
    PopupList popups{};
    spawn_popup(popups, 1, 0, 11, 0);
    for (int i = 0; i < 10; i++)
        update_popups(popups);
    spawn_popup(popups, 2, 1, 10, 1);
    update_popups(popups);
    spawn_popup(popups, 3, 0, 9, 2);
    for (int i = 0; i < 23; i++)
        update_popups(popups);
    // The first has had its 34 updates; the others 24 and 23.
    ASSERT_EQ(popups.count, 2);
    EXPECT_EQ(popups.items[0].chain, 3);
    EXPECT_EQ(popup_height(popups.items[0]), 23);
    EXPECT_EQ(popups.items[1].chain, 2);
    EXPECT_EQ(popup_height(popups.items[1]), 24);
}

// Every player scoring on every tick fills the list, and the oldest still leave only on their
// 33rd update.
TEST(Popups, EveryPlayerScoringEveryTickFitsTheList)
{
    PopupList popups{};
    for (int tick = 0; tick < 100; tick++) {
        for (uint8_t player = 0; player < max_players; player++)
            spawn_popup(popups, 1, player, 11, 0);
        ASSERT_LE(popups.count, popup_capacity);
        if (tick > popup_life) {
            ASSERT_EQ(popups.items[popups.count - 1].life, 0) << "tick " << tick;
        }
        update_popups(popups);
    }
    clear_popups(popups);
    EXPECT_EQ(popups.count, 0);
}

} // namespace
