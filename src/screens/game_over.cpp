// The overlay that ends a game: every well darkened, and in a two-player game
// "WIN!"/"LOSE" or "TIE!" written into the wells.
#include "screens/game_over.h"

#include "app/assets.h"
#include "app/colors.h"
#include "game/player.h"
#include "screens/layout.h"

namespace {

// The white text is centred on the well's middle; its shadow lies 2 pixels down and right.
void write_centred(BITMAP* view, FONT* big, const char* text, int offset, int color)
{
    const int half_w = text_length(big, text) / 2;
    const int half_h = text_height(big) / 2;
    textout_ex(view, big, text, well_centre_x + offset - half_w, well_centre_y + offset - half_h,
               color, -1);
}

void write_outcome()
{
    FONT* big = asset_font(Asset::large_font);
    const Player* winner = &players[0];
    const Player* loser = &players[1];
    const char* winner_text = win_text;
    const char* loser_text = lose_text;
    if (players[1].score > players[0].score) {
        winner = &players[1];
        loser = &players[0];
    } else if (players[1].score == players[0].score) {
        winner_text = tie_text;
        loser_text = tie_text;
    }
    // Both shadows first, so neither white word is ever covered by the other's shadow.
    write_centred(winner->view, big, winner_text, shadow_offset, color_black);
    write_centred(loser->view, big, loser_text, shadow_offset, color_black);
    write_centred(winner->view, big, winner_text, 0, color_white);
    write_centred(loser->view, big, loser_text, 0, color_white);
}

} // namespace

void draw_game_over()
{
    set_trans_blender(0, 0, 0, game_over_level);
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    for (int i = 0; i < player_count; i++)
        rectfill(players[i].view, 0, 0, well_width, well_height, color_black);
    if (player_count == 2)
        write_outcome();
    // Back to the library's default text background, for any later caller of the old
    // text calls (our own calls pass their background explicitly).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    text_mode(0);
#pragma GCC diagnostic pop
}
