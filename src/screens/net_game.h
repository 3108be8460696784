// A game against a player on another machine, from the waiting screen to the game-over
// overlay: the host's well on the left and the guest's on the right, on both screens.
#pragma once

#include "net/session.h"
#include "screens/game_view.h"
#include "screens/net_wait.h"
#include "screens/title.h"

struct NetResult {
    GameState game;   // both wells as the two machines settled them
    Replay recording; // the game as recorded here
    int local;        // this machine's player: 0 on the left, 1 on the right
    Ending ending;
};

// Waits for or joins the opponent, then plays the game through the game loop, whose overlay
// also says how the game ended when it ended early. A game whose wells went apart also keeps
// its replay as replays/out-of-step-*.replay. False when no game began.
bool play_network_game(const ScreenIo& io, const NetPlan& plan, ScreenImages& images, const PopupImages& popups,
                       NetResult& result);
