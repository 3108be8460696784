// The session fed to the game loop, the words drawn over the wells, and the replay kept when
// the two games went apart.
#include "screens/net_game.h"

#include <cstdio>

#include "app/assets.h"
#include "app/colors.h"
#include "app/shadow_text.h"
#include "replay/replay_store.h"
#include "replay/replay_text.h"
#include "screens/game_loop.h"
#include "screens/layout.h"

namespace {

constexpr const char* waiting_text = "WAIT";
constexpr int banner_line_step = 22;
constexpr int banner_margin = 16;
constexpr int banner_padding = 10;
constexpr int banner_centre_y = well_top + well_centre_y + 96; // below the words in the wells
constexpr const char* out_of_step_prefix = "out-of-step-";

class NetFeed : public GameFeed {
public:
    NetFeed(Session& session, Transport& transport) : session_(session), transport_(transport) {}

    uint32_t head_start() const override { return static_cast<uint32_t>(session_.head_start); }
    TickEvents tick(PlayerInput local) override { return session_tick(session_, transport_, local, network_clock_ms()); }
    void service() override { service_session(session_, transport_, network_clock_ms()); }
    void leave() override { leave_session(session_, transport_, network_clock_ms()); }
    bool over() const override { return session_over(session_); }
    const GameState& state() const override { return session_view(session_); }
    const Replay& recording() const override { return session_.replay; }
    void decorate(BITMAP* frame_buffer) const override;

private:
    Session& session_;
    Transport& transport_;
};

// While the other well catches up with the end, this player's well says so.
void draw_waiting(BITMAP* frame_buffer, int local)
{
    FONT* big = asset_font(Asset::large_font);
    draw_shadow_text(frame_buffer, big, static_cast<int16_t>(well_left_edges[local] + well_centre_x),
                     static_cast<int16_t>(well_top + well_centre_y - text_height(big) / 2), color_white, waiting_text);
}

// A band across the screen below the wells' words, over both wells and what lies between.
void draw_banner(BITMAP* frame_buffer, const std::string& text)
{
    FONT* normal = asset_font(Asset::normal_font);
    const std::vector<std::string> lines = wrap_text(normal, text, screen_width - 2 * (banner_margin + banner_padding));
    const int height = static_cast<int>(lines.size()) * banner_line_step + 2 * banner_padding;
    const int top = banner_centre_y - height / 2;
    rectfill(frame_buffer, banner_margin, top, screen_width - banner_margin, top + height, color_black);
    drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);
    for (size_t i = 0; i < lines.size(); i++)
        draw_shadow_text(frame_buffer, normal, screen_centre_x,
                         static_cast<int16_t>(top + banner_padding + banner_line_step * static_cast<int>(i)),
                         color_white, lines[i].c_str());
}

void NetFeed::decorate(BITMAP* frame_buffer) const
{
    if (session_over(session_)) {
        const std::string text = ending_text(session_);
        if (!text.empty())
            draw_banner(frame_buffer, text);
    } else if (session_.phase == Phase::playing && local_play_over(session_.versus)) {
        draw_waiting(frame_buffer, session_.versus.local);
    }
}

// Both machines keep the replay of a game whose wells went apart, under a name no later game
// takes, for whoever looks into it.
void keep_out_of_step_replay(Replay replay)
{
    replay.date = utc_date_now();
    const std::string name = out_of_step_prefix + kept_replay_name(replay);
    std::string problem;
    if (save_last_replay(replay, problem) && write_replay_file(replay_path(name), replay, problem))
        std::fprintf(stderr, "blockrise: the games went out of step; the replay is kept as %s\n",
                     replay_path(name).c_str());
    else
        std::fprintf(stderr, "blockrise: %s\n", problem.c_str());
}

} // namespace

bool play_network_game(const ScreenIo& io, const NetPlan& plan, ScreenImages& images, const PopupImages& popups,
                       NetResult& result)
{
    NetOpening opening;
    if (open_network_game(io, plan, images.frame_buffer.get(), images.game_background.get(), opening) !=
        WaitResult::ready)
        return false;
    Session& session = *opening.session;
    NetFeed feed(session, *opening.link);
    GamePlan game_plan{max_players, session.seed, plan.controls, plan.low_power};
    game_plan.feed = &feed;
    if (!play_game(io, game_plan, images.frame_buffer.get(), images.game_background.get(), popups, result.game,
                   result.recording)) {
        leave_session(session, *opening.link, network_clock_ms());
        return false;
    }
    result.local = session.versus.local;
    result.ending = session.ending;
    const std::string text = ending_text(session);
    if (!text.empty())
        std::fprintf(stderr, "blockrise: %s\n", text.c_str());
    if (session.ending == Ending::out_of_step)
        keep_out_of_step_replay(result.recording);
    return true;
}
