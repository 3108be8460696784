// A game's frames drawn on the fake data against reference images: the wells with blocks in
// every state, the popups, the scores and clock, the panels and scan-lines, the paused wells
// and the game-over overlay.
#include "screen_fixture.h"

#include "screens/game_loop.h"
#include "screens/title.h"

namespace {

using Scene = ScreenTest;

TEST_F(Scene, TwoPlayersInPlayThenPausedThenOverWithWinLoseOrTieThenOnePlayerOver)
{
    // Art whose mirror and holes show, and marks in the patches behind the texts.
    BITMAP* art = asset_bitmap(Asset::well_background);
    rectfill(art, 0, 0, 11, 191, makecol(200, 0, 0));
    rectfill(art, 60, 10, 69, 19, MASK_COLOR_16);
    for (int x : {41, 161, 261})
        vline(asset_bitmap(Asset::game_background), x, 0, 80, makecol(250, 200, 0));
    rectfill(asset_bitmap(Asset::cursor_b), 6, 6, 69, 37, MASK_COLOR_16);
    ScreenImages images;
    PopupImages popups;
    make_popup_images(popups);
    GameRun run{}; // after the images: its wells are views into the frame buffer
    BITMAP* frame = nullptr;
    auto begin = [&](int players) { // the images prepared by the menu, then a game on them
        run = GameRun{};
        ASSERT_TRUE(make_screen_images(fake_io(), images));
        run_title(fake_io(), images);
        frame = images.frame_buffer.get();
        ASSERT_TRUE(begin_game(run, fake_io(), GamePlan{players, 5}, frame, images.game_background.get(), popups));
        for (Player& p : run.game.players)
            std::fill(&p.grid[0][0], &p.grid[0][0] + grid_rows * well_cols, Cell{}), p.rise = 0;
    };
    auto draw = [&](int32_t time_left, int32_t one, int32_t two, uint32_t clock) { // over stale texts
        rectfill(frame, 0, 0, 639, 40, makecol(0, 250, 0));
        rectfill(frame, 290, 130, 349, 154, makecol(0, 250, 0));
        run.game.time_left = time_left, run.game.players[0].score = one, run.game.players[1].score = two;
        draw_game(run.view, run.game, clock); // its bit 4 picks the cursor's frame
    };
    begin(2);
    Player& one = run.game.players[0];
    one.rise = 10; // the preview row shows 10 pixels, row 0 loses as many
    for (int col = 0; col < well_cols; col++)
        one.grid[preview_row][col].color = static_cast<int8_t>(col % color_count + 1);
    one.grid[0][1] = Cell{3, CELL_IDLE, 0, 0, 0};
    one.grid[4][2] = Cell{1, CELL_SWAPPING, 0, 8, 0}; // two swaps under way, the right block on top
    one.grid[4][3] = Cell{2, CELL_SWAPPING, 0, -8, 0};
    one.grid[6][0] = Cell{4, CELL_SWAPPING, 0, 24, 0};
    one.grid[6][1] = Cell{5, CELL_SWAPPING, 0, -24, 0};
    one.grid[9][4] = Cell{5, CELL_FALLING, 16, 0, 0};
    one.grid[11][0] = one.grid[11][1] = one.grid[10][5] = Cell{3, CELL_CLEARING, 0, 0, 0};
    ActionGroup* clear = push_group(one, GROUP_CLEAR); // fades at its timer + 48
    ActionGroup* swap = push_group(one, GROUP_SWAP);   // only clears are drawn by their group
    ASSERT_TRUE(clear && swap && push_group_cell(one, *clear, 11, 0) && push_group_cell(one, *swap, 10, 5));
    clear->timer = 80;
    one.cursor_x = 3, one.cursor_y = 8;
    run.game.players[1].grid[11][5] = Cell{2, CELL_IDLE, 0, 0, 0};
    // Oldest first: chain 12 lies over chain 1, chain 13 shows the second picture, the fourth is
    // not wholly below its well's top edge, and chain 0 shows the first.
    const struct { int8_t chain; uint8_t player; int8_t row, col; uint16_t life; } made[] = {
        {12, 1, 5, 3, 20}, {1, 1, 5, 3, 32}, {13, 0, 2, 0, 1}, {2, 0, 2, 5, 0}, {0, 1, 9, 1, 32}};
    for (const auto& m : made)
        spawn_popup(run.game.popups, m.chain, m.player, m.row, m.col), run.game.popups.items[0].life = m.life;
    draw(3599, -3, 2147483647, 16);
    EXPECT_TRUE(matches_reference("two_players", frame));
    press({KEY_P});
    game_pass(run);
    EXPECT_TRUE(matches_reference("paused", display, 64, 48, 512, 384));
    draw(3599, -3, 2147483647, 16);
    draw_game_over(run.view, run.game); // over the wells and nowhere else
    EXPECT_TRUE(matches_reference("game_over", frame, 56, 40, 528, 400));
    draw(0, 120, 120, 16);
    draw_game_over(run.view, run.game);
    EXPECT_TRUE(matches_reference("tie", frame, 64, 232, 512, 16));

    // The next menu draws the scan-lines in the mode the overlay left: translucent.
    begin(1);
    run.game.players[0].grid[11][2] = Cell{4, CELL_IDLE, 0, 0, 0};
    draw(59, 123456, 0, 32);
    draw_game_over(run.view, run.game);
    EXPECT_TRUE(matches_reference("one_player_over", frame));
}

} // namespace
