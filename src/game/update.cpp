// One tick of play: each player in turn runs every step of the rules.
#include "game/update.h"

#include "game/steps.h"

bool update_players()
{
    bool topped_out = false;
    for (int i = 0; i < player_count; i++) {
        Player& player = players[i];
        move_cursor(player);
        start_swap(player);
        if (rise_stack(player))
            topped_out = true;
        fall_blocks(player);
        if (find_matches(player))
            score_matches(player, i);
        advance_actions(player);
        end_tick(player);
    }
    return topped_out;
}
