// Drawing a game: wells, popups, scores and clock, panels and the game-over overlay.
#include "screen_fixture.h"

#include <string>

#include "app/colors.h"
#include "app/shadow_text.h"
#include "screens/layout.h"

namespace {

struct Block {
    int tile, x, y, level; // where it should show in its well, and how opaque
};

// The preview row's tiles are coloured by column (see start_empty).
std::vector<Block> with_preview_row(std::vector<Block> blocks, int rise)
{
    for (int col = 0; col < well_cols; col++)
        blocks.push_back({col % color_count + 1, 32 * col, 384 - rise, preview_level});
    return blocks;
}

int width_of(const char* text) { return text_length(font, text); }

// Empty wells at rise 0, cursors drawn with an all-mask picture unless a test wants them.
class Drawing : public ScreenTest {
protected:
    Bitmap frame = filled(640, 480, 0), background = filled(640, 480, makecol(30, 60, 90));
    Bitmap unseen = filled(76, 44, MASK_COLOR_16);
    PopupImages popups;
    GameState game{};
    GameView view{}; // after the frame buffer: its wells are views into it

    void SetUp() override
    {
        ScreenTest::SetUp();
        make_popup_images(popups);
        start_empty(2);
    }
    void start_empty(int count)
    {
        start_game(game, count, 1);
        for (Player& p : game.players) {
            for (int row = 0; row < grid_rows; row++)
                for (int col = 0; col < well_cols; col++)
                    p.grid[row][col] = Cell{};
            for (int col = 0; col < well_cols; col++)
                p.grid[preview_row][col].color = static_cast<int8_t>(col % color_count + 1);
            p.rise = 0;
        }
        ASSERT_TRUE(make_game_view(view, count, frame.get(), background.get(), popups));
        view.cursor_images[0] = view.cursor_images[1] = unseen.get();
    }
    Cell& cell(int row, int col) { return game.players[0].grid[row][col]; }

    // Player i's well is the fake data's plain well background with `blocks` blended on in
    // order, then `cursor` at (cx, cy).
    testing::AssertionResult well_shows(int i, const std::vector<Block>& blocks, BITMAP* cursor = nullptr,
                                        int cx = 0, int cy = 0)
    {
        const Bitmap want = filled(192, 384, getpixel(asset_bitmap(Asset::well_background), 0, 0));
        for (const Block& b : blocks) {
            const Bitmap tile = filled(32, 32, fake_tile_color(b.tile));
            set_trans_blender(0, 0, 0, b.level);
            draw_trans_sprite(want.get(), tile.get(), b.x, b.y);
        }
        if (cursor)
            draw_sprite(want.get(), cursor, cx, cy);
        return same_pixels(view.wells[i].view.get(), want.get());
    }
};
using Wells = Drawing;
using Hud = Drawing;
using Panel = Drawing;
using GameOver = Drawing;

TEST_F(Wells, PreviewRowShowsExactlyRisePixelsAndRowZeroLosesThemInEachPlayersPlace)
{
    cell(0, 1) = Cell{3, CELL_IDLE, 0, 0, 0};
    game.players[1].grid[11][5] = Cell{2, CELL_IDLE, 0, 0, 0};
    for (int rise : {0, 1, 7, 31}) {
        game.players[0].rise = static_cast<int8_t>(rise);
        draw_game(view, game, 0);
        EXPECT_TRUE(well_shows(0, with_preview_row({{3, 32, -rise, block_level}}, rise))) << rise;
        EXPECT_TRUE(well_shows(1, {{2, 160, 352, block_level}})) << rise;
    }
}

TEST_F(Wells, SwappingBlocksSlideRightOneOnTopFallingOnesByTheirOffsetClearingOnesFadeWithTheirGroup)
{
    for (int8_t offset : {8, 16, 24}) {
        cell(10, 2) = Cell{1, CELL_SWAPPING, 0, offset, 0};
        cell(10, 3) = Cell{2, CELL_SWAPPING, 0, static_cast<int8_t>(-offset), 0};
        draw_game(view, game, 0);
        EXPECT_TRUE(well_shows(0, {{1, 64 + offset, 320, block_level}, {2, 96 - offset, 320, block_level}})) << +offset;
    }
    cell(10, 2) = cell(10, 3) = Cell{};
    cell(9, 0) = Cell{5, CELL_FALLING, 16, 0, 0};
    cell(11, 0) = Cell{3, CELL_CLEARING, 0, 0, 0};
    draw_game(view, game, 0);
    EXPECT_TRUE(well_shows(0, {{5, 0, 304, block_level}})); // a clearing cell is drawn by its group alone
    ActionGroup* group = push_group(game.players[0], GROUP_CLEAR);
    ASSERT_TRUE(group && push_group_cell(game.players[0], *group, 11, 0));
    for (int8_t timer : {118, 80, 2}) {
        group->timer = timer;
        draw_game(view, game, 0);
        EXPECT_TRUE(well_shows(0, {{5, 0, 304, block_level}, {3, 0, 352, timer + clear_level_base}})) << +timer;
    }
}

TEST_F(Wells, CursorFrameFollowsBitFourOfTheClockAndTheRise)
{
    ASSERT_TRUE(make_game_view(view, 2, frame.get(), background.get(), popups));
    BITMAP* frames[] = {asset_bitmap(Asset::cursor_a), asset_bitmap(Asset::cursor_b)};
    game.players[0].rise = 10;
    for (auto [clock, want] : {std::pair{0u, 0}, {15u, 0}, {16u, 1}, {31u, 1}, {32u, 0}, {0xFFFFFFF0u, 1}}) {
        draw_game(view, game, clock);
        EXPECT_TRUE(well_shows(0, with_preview_row({}, 10), frames[want], 58, 144)) << clock;
    }
}

TEST_F(Wells, BackgroundsAreTheArtStretchedPlayerOnesMirroredWhereThatIsNotMaskColour)
{
    BITMAP* art = asset_bitmap(Asset::well_background); // half the well's size
    rectfill(art, 0, 0, 47, 191, makecol(200, 0, 0));
    rectfill(art, 60, 10, 69, 19, MASK_COLOR_16);
    ASSERT_TRUE(make_game_view(view, 2, frame.get(), background.get(), popups));
    for (int y = 0; y < 384; y++)
        for (int x = 0; x < 192; x++) {
            const int own = getpixel(art, x / 2, y / 2), across = getpixel(art, (191 - x) / 2, y / 2);
            ASSERT_EQ(getpixel(view.wells[1].background.get(), x, y), own) << x << "," << y;
            ASSERT_EQ(getpixel(view.wells[0].background.get(), x, y), across == MASK_COLOR_16 ? own : across)
                << x << "," << y;
        }
}

TEST_F(Wells, PopupsShowTheirChainsPictureOverTheWellsACellAboveTheirCellRisingAndOlderOnTop)
{
    for (auto [chain, index] : {std::pair{1, 0}, {2, 1}, {12, 11}, {13, 1}, {127, 1}, {0, 0}})
        EXPECT_EQ(popup_image_index(static_cast<int8_t>(chain)), index) << chain;
    const struct { int8_t chain; uint8_t player; int8_t row, col; uint16_t life; } made[] = {
        {12, 1, 5, 3, 20}, {1, 1, 5, 3, 32}, {13, 0, 2, 0, 1}, {2, 0, 2, 5, 0}}; // oldest first
    for (const auto& m : made) {
        spawn_popup(game.popups, m.chain, m.player, m.row, m.col);
        game.popups.items[0].life = m.life;
    }
    const uint8_t count = game.popups.count;
    game.popups.count = 0;
    draw_game(view, game, 0);
    const Bitmap want = copy_of(frame.get());
    game.popups.count = count;
    draw_game(view, game, 0);
    // The last is not wholly below its well's top edge; the first lies over the second.
    for (auto [image, x, y] : {std::tuple{1, 64, 49}, {0, 480, 176}, {11, 480, 164}})
        draw_sprite(want.get(), popups.images[image].get(), x, y);
    EXPECT_TRUE(same_pixels(frame.get(), want.get()));
}

TEST_F(Hud, ClockAndScoresAreWrittenInPlaceOverTheirRestoredPatches)
{
    const struct { int32_t ticks; const char* clock; int32_t one, two; } rows[] = {
        {7200, "2:00", 0, 0},      {7199, "1:59", 7, 12345},     {3600, "1:00", 450, -3},
        {3599, "0:59", 123456, 9}, {59, "0:00", 1, 2147483647}, {0, "0:00", 88, 88}};
    const int stale = makecol(120, 0, 0);
    for (int count : {2, 1}) {
        start_empty(count);
        for (const auto& row : rows) {
            char text[clock_text_size];
            format_clock(row.ticks, text);
            EXPECT_STREQ(text, row.clock);
            game.time_left = row.ticks, game.players[0].score = row.one, game.players[1].score = row.two;
            clear_to_color(frame.get(), stale);
            draw_hud(view, game);
            // Patch, then text: the clock centred on 320, player 1's score from 64, player 2's ending at 576.
            const Bitmap want = filled(640, 480, stale);
            const std::string one = std::to_string(row.one), two = std::to_string(row.two);
            const struct { int x, y, w, h; std::string text; int text_x, text_y; } parts[] = {
                {clock_patch_x, clock_patch_y, clock_patch_width, clock_patch_height, row.clock,
                 320 - width_of(row.clock) / 2, clock_text_y},
                {64, score_patch_y, score_patch_width, score_patch_height, one, 64, score_text_y},
                {576 - score_patch_width, score_patch_y, score_patch_width, score_patch_height, two,
                 576 - width_of(two.c_str()), score_text_y}};
            for (int i = 0; i <= count; i++) {
                const auto& p = parts[i];
                blit(background.get(), want.get(), p.x, p.y, p.x, p.y, p.w, p.h);
                textout_ex(want.get(), font, p.text.c_str(), p.text_x, p.text_y, color_white, -1);
            }
            EXPECT_TRUE(same_pixels(frame.get(), want.get())) << count << " players, " << row.ticks;
        }
    }
}

TEST_F(Panel, HalvesWhatLiesInsideAFrameOfBlackWhiteWhiteBlackAndNothingElseAndStaysTranslucent)
{
    const int under = makecol(200, 160, 80);
    auto half = [under](int over) {
        const Bitmap one = filled(1, 1, under), dot = filled(1, 1, over);
        set_trans_blender(0, 0, 0, 128);
        draw_trans_sprite(one.get(), dot.get(), 0, 0);
        return getpixel(one.get(), 0, 0);
    };
    const int dark = half(color_black), light = half(color_white);
    set_trans_blender(0, 0, 0, 0);
    clear_to_color(frame.get(), under);
    draw_panel(frame.get(), 60, 44, 200, 392);
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++) {
            const int depth = std::min({x - 60, 259 - x, y - 44, 435 - y}); // from the outer edge in
            ASSERT_EQ(getpixel(frame.get(), x, y), depth < 0 ? under : depth == 1 || depth == 2 ? light : dark)
                << x << "," << y;
        }
    clear_to_color(frame.get(), under);
    putpixel(frame.get(), 1, 1, color_white);
    EXPECT_EQ(getpixel(frame.get(), 1, 1), light);
}

TEST_F(GameOver, OnlyTheWellsDarkenWithWinLoseOrTieCentredInTwoPlayerGamesAndNoTextInOnePlayerOnes)
{
    const struct { int count; int32_t left, right; const char* words[2]; } rows[] = {
        {1, 50, 0, {}},                        {2, 300, 299, {"WIN!", "LOSE"}}, {2, 40, 41, {"LOSE", "WIN!"}},
        {2, -5, 2147483647, {"LOSE", "WIN!"}}, {2, 0, 0, {"TIE!", "TIE!"}},     {2, 120, 120, {"TIE!", "TIE!"}}};
    for (const auto& row : rows) {
        start_empty(row.count);
        cell(11, 2) = Cell{4, CELL_IDLE, 0, 0, 0};
        game.players[0].score = row.left, game.players[1].score = row.right;
        clear_to_color(frame.get(), makecol(250, 250, 100)); // stands for the panels and scores
        draw_game(view, game, 0);
        const Bitmap want = copy_of(frame.get()), dark = filled(192, 384, color_black);
        for (int i = 0; i < row.count; i++) {
            set_trans_blender(0, 0, 0, game_over_level);
            draw_trans_sprite(want.get(), dark.get(), i ? 384 : 64, 48);
            if (row.words[i])
                draw_shadow_text(want.get(), font, i ? 480 : 160, 240 - text_height(font) / 2, color_white,
                                 row.words[i]);
        }
        draw_game_over(view, game);
        EXPECT_TRUE(same_pixels(frame.get(), want.get())) << row.left << " : " << row.right;
    }
}

} // namespace
