// Scenario harness: a well written as text, keys held tick by tick, the well read back.
#pragma once

#include <string>
#include <vector>

#include "game/player.h"

// Colours as letters: '.' empty, R G B Y P for colours 1-5.
char color_letter(int color);
// States as letters: '-' idle, s swapping, m matched, c clearing, h hovering, f falling, r reserved.
char state_letter(int state);

// A game of one or two players on the in-memory datafile, with popup pictures to point at.
class Scenario {
public:
    explicit Scenario(int count = 1, unsigned seed = 1);
    ~Scenario();
    Scenario(const Scenario&) = delete;
    Scenario& operator=(const Scenario&) = delete;

    // `rows` are the bottom rows of the well, the last being the preview row; every row
    // above them is empty. All cells idle, offsets 0.
    void set_well(const std::vector<std::string>& rows, int player = 0);
    // One tick with exactly the `held` keys down: update_players, then update_popups.
    // Returns what update_players returned.
    bool tick(const std::vector<int>& held = {});
    // `ticks` ticks holding the same keys; true if any of them topped a player out.
    bool run(int ticks, const std::vector<int>& held = {});

    Player& player(int i = 0) { return players[i]; }
    std::string colors(int row, int player = 0) const;
    std::string states(int row, int player = 0) const;
    std::vector<std::string> well(int player = 0) const; // colours of rows 0-12
    int ticks() const { return ticks_; }

private:
    int ticks_ = 0;
};

// Blocks in rows 0-12 of a player's grid.
int count_blocks(const Player& player);
// Pending groups of a player.
int count_groups(const Player& player);
