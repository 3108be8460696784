// Setting up the players of a new game.
#include "game/steps.h"

namespace {

// A colour that makes no line of three with the two cells to the left or the two above.
int8_t starting_color(const Player& player, int row, int col, GameRandom& random)
{
    for (;;) {
        const int8_t c = static_cast<int8_t>(next_random(random) % color_count + 1);
        const bool row_of_three = col >= 2 && player.grid[row][col - 1].color == c &&
                                  player.grid[row][col - 2].color == c;
        const bool column_of_three = player.grid[row - 1][col].color == c &&
                                     player.grid[row - 2][col].color == c;
        if (!row_of_three && !column_of_three)
            return c;
    }
}

// Rows 6-12 filled without a line of three, rows 0-5 empty; the rest as a game starts.
void init_player(Player& player, GameRandom& random)
{
    player = Player{};
    for (int row = first_filled_row; row < grid_rows; row++)
        for (int col = 0; col < well_cols; col++)
            player.grid[row][col].color = starting_color(player, row, col, random);
    player.cursor_x = start_cursor_x;
    player.cursor_y = start_cursor_y;
    player.rise = start_rise;
    player.rise_delay = start_rise_delay;
    player.rise_countdown = start_rise_delay;
    clear_groups(player);
}

// Spreads the players' seeds far apart in the generator's seed space.
constexpr uint32_t well_seed_step = 0x9e3779b9u;

} // namespace

void start_game(GameState& game, int count, uint32_t seed)
{
    game = GameState{};
    game.player_count = static_cast<uint8_t>(count < 1 ? 1 : count > max_players ? max_players : count);
    game.seed = seed;
    seed_random(game.random, seed);
    // The last player's well is drawn first, as it always was, so a seed keeps its wells.
    for (int i = game.player_count - 1; i >= 0; i--)
        init_player(game.players[i], game.random);
    game.time_left = game_ticks;
}

uint32_t well_seed(uint32_t seed, int player)
{
    return seed ^ (well_seed_step * static_cast<uint32_t>(player + 1));
}

void start_separate_game(GameState& game, int count, uint32_t seed)
{
    game = GameState{};
    game.player_count = static_cast<uint8_t>(count < 1 ? 1 : count > max_players ? max_players : count);
    game.seed = seed;
    game.separate_wells = 1;
    for (int i = 0; i < game.player_count; i++) {
        seed_random(game.well_randoms[i], well_seed(seed, i));
        init_player(game.players[i], game.well_randoms[i]);
    }
    game.time_left = game_ticks;
}
