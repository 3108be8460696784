// Scenario harness: a well written as text, keys held tick by tick, the well read back.
#pragma once

#include <string>
#include <vector>

#include "game/player.h"

// A game on the in-memory datafile, with popup pictures to point at.
class Scenario {
public:
    explicit Scenario(int count = 1, unsigned seed = 1);
    explicit Scenario(const std::vector<std::string>& well) : Scenario() { set_well(well); }
    ~Scenario();
    Scenario(const Scenario&) = delete;
    Scenario& operator=(const Scenario&) = delete;

    // `rows` are the bottom rows, the last the preview row; all above empty, all idle.
    void set_well(const std::vector<std::string>& rows, int player = 0);
    void cursor(int x, int y) { players[0].cursor_x = int8_t(x), players[0].cursor_y = int8_t(y); }
    // One tick with exactly `held` down: update_players, then update_popups.
    bool tick(const std::vector<int>& held = {});
    // `count` ticks holding the same keys; true if any topped a player out.
    bool run(int count, const std::vector<int>& held = {});

    Player& player(int i = 0) { return players[i]; }
    // Rows `first` to `last` (just `first` if -1) joined by '/', as letters: colours
    // '.' empty, R G B Y P = 1-5; states - s m c h f r = CELL_IDLE..CELL_RESERVED.
    std::string colors(int first, int last = -1, int player = 0) const
    {
        return rows_text(player, first, last, false);
    }
    std::string states(int first, int last = -1, int player = 0) const
    {
        return rows_text(player, first, last, true);
    }

private:
    std::string rows_text(int player, int first, int last, bool states) const;
};

int count_blocks(const Player& player);
int count_groups(const Player& player);
