// Setting up the players of a new game, and releasing them when it ends.
#include "game/player.h"

#include <cstdlib>
#include <cstring>

#include "app/assets.h"

Player* players = nullptr;
uint8_t player_count = 1;
BITMAP* tile_images[color_count + 1] = {};
uint8_t key_latch[256] = {};

namespace {

constexpr int tile_work_width = 640;
constexpr int tile_count = color_count + 1;

const uint8_t one_player_keys[KEY_ROLE_COUNT] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT,
                                                 KEY_RSHIFT, KEY_RCONTROL};
const uint8_t left_player_keys[KEY_ROLE_COUNT] = {KEY_W, KEY_S, KEY_A, KEY_D,
                                                  KEY_LSHIFT, KEY_LCONTROL};

// The work image is cleared to colour 0, not the mask colour, so mask-coloured
// pixels of the strip become colour 0 in the tiles.
void make_tile_images()
{
    BITMAP* work = create_bitmap(tile_work_width, cell_size);
    clear_to_color(work, 0);
    draw_sprite(work, asset_bitmap(Asset::tile_strip), 0, 0);
    for (int k = 0; k < tile_count; k++) {
        tile_images[k] = create_bitmap(cell_size, cell_size);
        clear_bitmap(tile_images[k]);
        blit(work, tile_images[k], cell_size * k, 0, 0, 0, cell_size, cell_size);
    }
    destroy_bitmap(work);
}

// A colour that makes no line of three with the two cells to the left or the two above.
int8_t starting_color(const Player& player, int row, int col)
{
    for (;;) {
        const int8_t c = static_cast<int8_t>(std::rand() % color_count + 1);
        const bool row_of_three = col >= 2 && player.grid[row][col - 1].color == c &&
                                  player.grid[row][col - 2].color == c;
        const bool column_of_three = player.grid[row - 1][col].color == c &&
                                     player.grid[row - 2][col].color == c;
        if (!row_of_three && !column_of_three)
            return c;
    }
}

} // namespace

void init_player(Player& player)
{
    for (int row = 0; row < well_rows; row++)
        for (Cell& cell : player.grid[row]) {
            cell.color = 0;
            cell.state = CELL_IDLE;
            cell.fall_offset = 0;
            cell.slide_offset = 0;
        }
    for (int row = first_filled_row; row < grid_rows; row++)
        for (int col = 0; col < well_cols; col++) {
            Cell& cell = player.grid[row][col];
            cell.color = starting_color(player, row, col);
            cell.state = CELL_IDLE;
            cell.fall_offset = 0;
            cell.slide_offset = 0;
        }

    BITMAP* picture = asset_bitmap(Asset::well_background);
    player.background = create_bitmap(well_width, well_height);
    stretch_blit(picture, player.background, 0, 0, picture->w, picture->h, 0, 0, well_width,
                 well_height);
    player.cursor_images[0] = asset_bitmap(Asset::cursor_a);
    player.cursor_images[1] = asset_bitmap(Asset::cursor_b);

    player.well_x = 0;
    player.well_y = 0;
    player.cursor_x = start_cursor_x;
    player.cursor_y = start_cursor_y;
    player.busy = 0;
    player.rise = start_rise;
    player.rise_delay = start_rise_delay;
    player.rise_countdown = start_rise_delay;
    player.groups = nullptr;
    player.chain = 0;
}

void start_game(int count)
{
    players = new Player[count]();
    for (int i = 0; i < count; i++) {
        const uint8_t* keys = (count == 2 && i == 0) ? left_player_keys : one_player_keys;
        std::memcpy(players[i].keys, keys, sizeof players[i].keys);
        players[i].score = 0;
    }
    std::memset(key_latch, 0, sizeof key_latch);
    player_count = static_cast<uint8_t>(count);
    make_tile_images();
    for (int i = count - 1; i >= 0; i--) {
        players[i].topped_out = 0;
        init_player(players[i]);
    }
    // Player 1's well is player 2's mirrored, wherever player 2's picture has no mask colour.
    if (count == 2)
        draw_sprite_h_flip(players[0].background, players[1].background, 0, 0);
}

void attach_well(int index, BITMAP* frame_buffer, int16_t x, int16_t y)
{
    Player& player = players[index];
    player.view = create_sub_bitmap(frame_buffer, x, y, well_width, well_height);
    player.well_x = x;
    player.well_y = y;
}

void end_game()
{
    for (int i = 0; i < player_count; i++) {
        Player& player = players[i];
        destroy_bitmap(player.background);
        if (player.view)
            destroy_bitmap(player.view);
        free_groups(player.groups);
    }
    for (BITMAP*& tile : tile_images) {
        destroy_bitmap(tile);
        tile = nullptr;
    }
    delete[] players;
    players = nullptr;
}
